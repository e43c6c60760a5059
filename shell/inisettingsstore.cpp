#include "inisettingsstore.h"

#include "cp1252.h"

#include <algorithm>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringList>
#include <utility>

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

// Splits into lines without their ends; a final line end adds no empty line.
QStringList splitLines(QStringView text)
{
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        QStringView line = text.mid(start, end - start);
        if (line.endsWith(u'\r'))
            line.chop(1);
        lines.append(line.toString());
        start = end + 1;
    }
    return lines;
}

struct FileText
{
    bool readable = false; // absent counts as readable and empty
    bool complete = true; // false when the file exceeds the size limit
    QString text;
};

FileText readFileText(const QString& path)
{
    FileText result;
    QFile file(path);
    if (!file.exists()) {
        result.readable = true;
        return result;
    }
    if (!file.open(QIODevice::ReadOnly))
        return result;
    const QByteArray bytes = file.read(std::min<qint64>(file.size(), IniSettingsStore::maximumFileSize));
    result.readable = true;
    result.complete = file.atEnd() && file.size() <= IniSettingsStore::maximumFileSize;
    // The file is UTF-8 as Qt writes it; one saved from a Windows editor is in the ANSI code page.
    QStringDecoder utf8(QStringConverter::Utf8);
    result.text = utf8.decode(bytes);
    if (utf8.hasError())
        result.text = platform::decodeCp1252(bytes);
    return result;
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

std::optional<QString> IniSettingsStore::findValue(QStringView text, QStringView section, QStringView key)
{
    bool inSection = false;
    for (const QString& line : splitLines(text)) {
        const ParsedLine parsed = parseLine(line);
        if (parsed.kind == LineKind::Section)
            inSection = sameName(parsed.name, section);
        else if (inSection && parsed.kind == LineKind::Entry && sameName(parsed.name, key))
            return unquoted(parsed.value);
    }
    return std::nullopt;
}

QString IniSettingsStore::withValue(QStringView text, QStringView section, QStringView key, const QString& value)
{
    // Keep the file's own line ends.
    const QString lineEnd = text.contains(u"\r\n") ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QStringList lines = splitLines(text);

    qsizetype sectionLine = -1;
    qsizetype lastEntryLine = -1; // the last non-blank line of the section
    qsizetype keyLine = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const ParsedLine parsed = parseLine(lines[i]);
        if (parsed.kind == LineKind::Section) {
            if (sectionLine >= 0)
                break; // the first section of that name is the one that counts
            if (sameName(parsed.name, section))
                sectionLine = lastEntryLine = i;
            continue;
        }
        if (sectionLine < 0)
            continue;
        if (!QStringView(lines[i]).trimmed().isEmpty())
            lastEntryLine = i;
        if (parsed.kind == LineKind::Entry && sameName(parsed.name, key)) {
            keyLine = i;
            break;
        }
    }

    if (keyLine >= 0) {
        // The key keeps its spelling; only the value changes.
        lines[keyLine] = parseLine(lines[keyLine]).name.toString() + u'=' + quotedIfNeeded(value);
    } else if (sectionLine >= 0) {
        lines.insert(lastEntryLine + 1, key.toString() + u'=' + quotedIfNeeded(value));
    } else {
        if (!lines.isEmpty() && !QStringView(lines.constLast()).trimmed().isEmpty())
            lines.append(QString());
        lines.append(u'[' + section.toString() + u']');
        lines.append(key.toString() + u'=' + quotedIfNeeded(value));
    }
    return lines.join(lineEnd) + lineEnd;
}

QString IniSettingsStore::value(const QString& section, const QString& key, const QString& defaultValue) const
{
    if (m_filePath.isEmpty())
        return defaultValue;
    const FileText file = readFileText(m_filePath);
    if (!file.readable)
        return defaultValue;
    return findValue(file.text, section, key).value_or(defaultValue);
}

bool IniSettingsStore::setValue(const QString& section, const QString& key, const QString& value)
{
    if (m_filePath.isEmpty() || value.contains(u'\n') || value.contains(u'\r'))
        return false;
    const FileText file = readFileText(m_filePath);
    // Rewriting a file that could not be read whole would lose the rest of it.
    if (!file.readable || !file.complete)
        return false;

    const QString folder = QFileInfo(m_filePath).absolutePath();
    if (!QDir().mkpath(folder))
        return false;
    QSaveFile out(m_filePath);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(withValue(file.text, section, key, value).toUtf8());
    return out.commit();
}
