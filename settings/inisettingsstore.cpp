#include "inisettingsstore.h"

#include "cp1252.h"
#include "filereading.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <algorithm>
#include <utility>
#include <vector>

namespace {

enum class LineKind { Other, Section, Entry };

struct ParsedLine
{
    LineKind kind = LineKind::Other;
    QStringView name; // the section's or the key's name
    QStringView value; // an entry's value as written, blanks removed
};

ParsedLine parseLine(QStringView line)
{
    const QStringView trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.front() == u';' || trimmed.front() == u'#')
        return {};
    if (trimmed.front() == u'[') {
        const qsizetype close = trimmed.indexOf(u']');
        const QStringView name = close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1);
        return { LineKind::Section, name.trimmed(), {} };
    }
    const qsizetype equals = trimmed.indexOf(u'=');
    if (equals <= 0)
        return {};
    return { LineKind::Entry, trimmed.left(equals).trimmed(), trimmed.mid(equals + 1).trimmed() };
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString unquoted(QStringView value)
{
    if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"')
        return value.mid(1, value.size() - 2).toString();
    return value.toString();
}

QString quotedIfNeeded(const QString& value)
{
    const bool loosesBlanks = value != value.trimmed();
    const bool looksQuoted = value.size() >= 2 && value.front() == u'"' && value.back() == u'"';
    if (loosesBlanks || looksQuoted)
        return u'"' + value + u'"';
    return value;
}

// One line of the file as it stands: its bytes, its own line end ("" for a last line without one) and
// its text. Lines the station does not change are written back from their bytes, so whatever they
// hold (Windows-1252 text, an odd line end) stays exactly as it was.
struct RawLine
{
    QByteArray bytes;
    QByteArray end;
    QString text;
};

const QByteArray utf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");

// A line in UTF-8 as the station writes it; one saved from a Windows editor is in the ANSI code page.
// Decided per line, so a line the station wrote reads back the same in a file edited by hand.
QString decodeLine(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = platform::decodeCp1252(bytes);
    return text;
}

// Splits at CR LF, a lone LF and a lone CR; a last line without an end counts; a line end at the very
// end adds no empty line. A UTF-8 byte order mark before the first line is not part of it.
std::vector<RawLine> splitLines(QByteArrayView bytes)
{
    if (bytes.startsWith(utf8Bom))
        bytes = bytes.sliced(utf8Bom.size());
    std::vector<RawLine> lines;
    const qsizetype n = bytes.size();
    qsizetype start = 0;
    while (start < n) {
        qsizetype end = start;
        while (end < n && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        qsizetype next = end;
        if (next < n)
            next += (bytes[next] == '\r' && next + 1 < n && bytes[next + 1] == '\n') ? 2 : 1;
        const QByteArrayView line = bytes.sliced(start, end - start);
        lines.push_back({ line.toByteArray(), bytes.sliced(end, next - end).toByteArray(), decodeLine(line) });
        start = next;
    }
    return lines;
}

struct FileBytes
{
    bool readable = false; // absent counts as readable and empty
    bool complete = true; // false when the file exceeds the size limit
    QByteArray bytes;
};

FileBytes readFileBytes(const QString& path)
{
    FileBytes result;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        result.readable = true;
        return result;
    }
    // Through the platform layer: a FIFO or a device put in the file's place is refused rather than waited
    // on (the station would hang at start), and a folder or a dangling link is no settings file either.
    platform::FileRead read = platform::readFileStart(path, IniSettingsStore::maximumFileSize + 1);
    if (!read.ok())
        return result;
    result.readable = true;
    result.complete = read.bytes.size() <= IniSettingsStore::maximumFileSize;
    result.bytes = std::move(read.bytes);
    if (!result.complete)
        result.bytes.truncate(IniSettingsStore::maximumFileSize);
    return result;
}

// True when the user has taken the right to write away from the file. Checked on the permission bits as
// well as for this process: a superuser may write any file, and a save replaces the file rather than
// writing into it, which a read-only file does not prevent either.
bool isReadOnly(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    const QFileDevice::Permissions anyWrite
        = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return !info.isWritable() || !(info.permissions() & anyWrite);
}

} // namespace

IniSettingsStore::IniSettingsStore(QString filePath)
    : m_filePath(std::move(filePath))
{
}

QString IniSettingsStore::userFilePath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty())
        return QString();
    return QDir(folder).filePath(applicationName() + QStringLiteral(".ini"));
}

std::optional<QString> IniSettingsStore::findValue(QByteArrayView bytes, QStringView section, QStringView key)
{
    bool inSection = false;
    for (const RawLine& line : splitLines(bytes)) {
        const ParsedLine parsed = parseLine(line.text);
        if (parsed.kind == LineKind::Section)
            inSection = sameName(parsed.name, section);
        else if (inSection && parsed.kind == LineKind::Entry && sameName(parsed.name, key))
            return unquoted(parsed.value);
    }
    return std::nullopt;
}

QByteArray IniSettingsStore::withValue(QByteArrayView bytes, QStringView section, QStringView key, const QString& value)
{
    std::vector<RawLine> lines = splitLines(bytes);
    // New lines, and a last line that had none, get the file's own line end: that of its first line.
    QByteArray lineEnd = QByteArrayLiteral("\n");
    for (const RawLine& line : lines) {
        if (!line.end.isEmpty()) {
            lineEnd = line.end;
            break;
        }
    }

    qsizetype sectionLine = -1;
    qsizetype lastEntryLine = -1; // the last non-blank line of the section
    qsizetype keyLine = -1;
    for (qsizetype i = 0; i < qsizetype(lines.size()); ++i) {
        const ParsedLine parsed = parseLine(lines[size_t(i)].text);
        if (parsed.kind == LineKind::Section) {
            if (sectionLine >= 0)
                break; // the first section of that name is the one that counts
            if (sameName(parsed.name, section))
                sectionLine = lastEntryLine = i;
            continue;
        }
        if (sectionLine < 0)
            continue;
        if (!QStringView(lines[size_t(i)].text).trimmed().isEmpty())
            lastEntryLine = i;
        if (parsed.kind == LineKind::Entry && sameName(parsed.name, key)) {
            keyLine = i;
            break;
        }
    }

    const auto newLine = [&](const QString& text) { return RawLine { text.toUtf8(), lineEnd, text }; };
    if (keyLine >= 0) {
        // The key keeps its spelling and the line its end; only the value changes.
        RawLine& line = lines[size_t(keyLine)];
        const RawLine changed = newLine(parseLine(line.text).name.toString() + u'=' + quotedIfNeeded(value));
        line.bytes = changed.bytes;
        line.text = changed.text;
    } else if (sectionLine >= 0) {
        lines.insert(lines.begin() + lastEntryLine + 1, newLine(key.toString() + u'=' + quotedIfNeeded(value)));
    } else {
        if (!lines.empty() && !QStringView(lines.back().text).trimmed().isEmpty())
            lines.push_back(newLine(QString()));
        lines.push_back(newLine(u'[' + section.toString() + u']'));
        lines.push_back(newLine(key.toString() + u'=' + quotedIfNeeded(value)));
    }

    QByteArray result = bytes.startsWith(utf8Bom) ? utf8Bom : QByteArray();
    for (const RawLine& line : lines)
        result += line.bytes + (line.end.isEmpty() ? lineEnd : line.end);
    return result;
}

QString IniSettingsStore::value(const QString& section, const QString& key, const QString& defaultValue) const
{
    if (m_filePath.isEmpty())
        return defaultValue;
    const FileBytes file = readFileBytes(m_filePath);
    if (!file.readable)
        return defaultValue;
    return findValue(file.bytes, section, key).value_or(defaultValue);
}

bool IniSettingsStore::setValue(const QString& section, const QString& key, const QString& value)
{
    if (m_filePath.isEmpty() || value.contains(u'\n') || value.contains(u'\r'))
        return false;
    // A file the user made read-only keeps what it says.
    if (isReadOnly(m_filePath))
        return false;
    const FileBytes file = readFileBytes(m_filePath);
    // Rewriting a file that could not be read whole would lose the rest of it.
    if (!file.readable || !file.complete)
        return false;

    const QString folder = QFileInfo(m_filePath).absolutePath();
    if (!QDir().mkpath(folder))
        return false;
    QSaveFile out(m_filePath);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(withValue(file.bytes, section, key, value));
    return out.commit();
}
