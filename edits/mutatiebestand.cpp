#include "mutatiebestand.h"

#include "clock.h"
#include "columns.h"
#include "cp1252.h"
#include "diagnostics.h"
#include "fileattributes.h"
#include "filereading.h"
#include "filewriting.h"
#include "folderlisting.h"
#include "gridtable.h"
#include "runorderfile.h"
#include "systemerrors.h"

#include <QDir>
#include <QFileInfo>
#include <QStringBuilder>
#include <iterator>

namespace {

constexpr QStringView tag = u"-baldovenaar-";
constexpr QStringView extension = u".mut";
constexpr QStringView temporarySuffix = u".tmp";
// Date, "-", time, "-" before the rid; tag, kind and extension after it.
constexpr qsizetype lengthBeforeRid = 8 + 1 + 6 + 1;
constexpr qsizetype lengthAfterRid = 13 + 1 + 4;
// Every name a routine here may delete is listed with this, and then parsed.
const QString listingPattern = QStringLiteral("*-baldovenaar-*");
// A send holds the station for half a second with the busy pointer up: the official sees that it went,
// and a second press cannot follow within the same moment.
constexpr int pauseMilliseconds = 500;

bool allowedInName(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x20 || (u >= 0x7F && u <= 0x9F) || c.isSurrogate())
        return false;
    return !QStringView(u"<>:\"/\\|?*").contains(c);
}

// FNV-1a over the UTF-16 code units: stable across runs and platforms, unlike qHash.
quint32 stableHash(const QString& text)
{
    quint32 hash = 2166136261u;
    for (const QChar c : text) {
        hash = (hash ^ (c.unicode() & 0xFF)) * 16777619u;
        hash = (hash ^ (c.unicode() >> 8)) * 16777619u;
    }
    return hash;
}

bool isDigits(QStringView text)
{
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

bool removeLogged(const char* routine, const QString& folder, const QString& name)
{
    const platform::FileResult removed = platform::removeFile(folder + name);
    if (removed.ok())
        qCInfo(lcSend).noquote() << QLatin1String(routine) + QStringLiteral(": removed") << name << "in" << folder;
    else
        qCInfo(lcSend).noquote() << QLatin1String(routine) + QStringLiteral(": could not remove") << name << "in"
                                 << folder << "-" << removed.error;
    return removed.ok();
}

// Whether a mutation file whose name carries this class's safe rid belongs to another class: only when its
// second line names a rid, and that rid is not the class's own, byte for byte. Two classes whose rids are
// made safe to the same name ("a*b" and "a?b" both become "a_b") must never remove each other's sends. Every
// other file under the class's name is the class's own, also a malformed one (empty, a single line, a rid
// line without "rid:", lines ended by LF alone): an office that takes the newest file by name would pick it
// up as the ring's latest word. Lines end at CR LF, a lone LF or a lone CR, as in every text the station
// reads. A file that cannot be opened cannot be told and stays, to go at a later clean-up.
bool belongsToAnotherClass(const QString& path, const QString& rid)
{
    const QByteArray own = platform::encodeCp1252(rid);
    // The first line is "wnr:" and the class's wnr, a few characters; the limit only keeps a strange file
    // from being read whole.
    const platform::FileRead file = platform::readFileStart(path, 4096 + own.size() + 8);
    if (!file.opened)
        return true;
    const QByteArray& bytes = file.bytes;
    const auto lineEnd = [&](qsizetype from) {
        for (qsizetype i = from; i < bytes.size(); ++i) {
            if (bytes[i] == '\r' || bytes[i] == '\n')
                return i;
        }
        return bytes.size();
    };
    qsizetype firstEnd = lineEnd(0);
    if (firstEnd >= bytes.size())
        return false; // no second line
    const qsizetype secondStart = firstEnd + (bytes.mid(firstEnd, 2) == "\r\n" ? 2 : 1);
    const QByteArray second = bytes.mid(secondStart, lineEnd(secondStart) - secondStart);
    return second.startsWith("rid:") && second.mid(4) != own;
}

QString nameWithSafeRid(const QString& date, const QString& time, const QString& safe, QChar kind)
{
    return date % u'-' % time % u'-' % safe % tag % kind % extension;
}

} // namespace

MutationRecord mutationRecord(const GridTable& grid, const QString& wnr, const QString& rid)
{
    MutationRecord record;
    record.wnr = wnr;
    record.rid = rid;
    const int rows = grid.rows();
    record.order.reserve(qMax(0, rows - 1));
    for (int row = 1; row < rows; ++row) {
        const QString key = grid.textMatrix(row, column::Key);
        record.order.append(key);
        if (grid.textView(row, column::Mark) == notStartedMark)
            record.notStarted.append(key);
        else
            record.started.append(key);
    }
    return record;
}

namespace {

// The six lines, the three lists already joined with tabs.
QByteArray bytesOfLines(const QString& wnr, const QString& rid, const QString& order, const QString& notStarted,
    const QString& started, const QString& freeText)
{
    QString text = freeText;
    text.replace(QStringLiteral("\r\n"), QString(QChar(8)));
    text.replace(u'\r', QChar(8));
    text.replace(u'\n', QChar(8));
    const QStringList lines {
        u"wnr:" % wnr,
        u"rid:" % rid,
        u"order:" % order,
        u"notstarted:" % notStarted,
        u"started:" % started,
        u"text:" % text,
    };
    return platform::encodeCp1252(platform::joinLinesCrLf(lines));
}

// Appends a key to a list of keys separated by single tabs.
void appendKey(QString& list, QStringView key, bool& first)
{
    if (!first)
        list += u'\t';
    list += key;
    first = false;
}

} // namespace

QByteArray mutationBytes(const MutationRecord& record)
{
    return bytesOfLines(record.wnr, record.rid, record.order.join(u'\t'), record.notStarted.join(u'\t'),
        record.started.join(u'\t'), record.text);
}

QByteArray mutationBytes(const GridTable& grid, const QString& wnr, const QString& rid)
{
    QString order;
    QString notStarted;
    QString started;
    const int rows = grid.rows();
    qsizetype keys = 0;
    for (int row = 1; row < rows; ++row)
        keys += grid.textView(row, column::Key).size() + 1;
    order.reserve(keys);
    started.reserve(keys);
    bool firstOrder = true;
    bool firstNotStarted = true;
    bool firstStarted = true;
    for (int row = 1; row < rows; ++row) {
        const QStringView key = grid.textView(row, column::Key);
        appendKey(order, key, firstOrder);
        if (grid.textView(row, column::Mark) == notStartedMark)
            appendKey(notStarted, key, firstNotStarted);
        else
            appendKey(started, key, firstStarted);
    }
    return bytesOfLines(wnr, rid, order, notStarted, started, QString());
}

QString safeRid(const QString& rid)
{
    QString safe;
    safe.reserve(rid.size());
    for (qsizetype i = 0; i < rid.size(); ++i) {
        const QChar c = rid[i];
        if (c.isHighSurrogate() && i + 1 < rid.size() && rid[i + 1].isLowSurrogate()) {
            safe += c;
            safe += rid[++i];
            continue;
        }
        safe += allowedInName(c) ? c : QChar(u'_');
    }
    if (safe.size() <= maxRidInName)
        return safe;
    qsizetype keep = maxRidInName - 9; // room for "~" and eight hex digits
    if (safe[keep - 1].isHighSurrogate())
        --keep;
    return safe.left(keep) % u'~' % QStringLiteral("%1").arg(stableHash(rid), 8, 16, QLatin1Char('0'));
}

QString mutationFileName(const QString& date, const QString& time, const QString& rid, QChar kind)
{
    return nameWithSafeRid(date, time, safeRid(rid), kind);
}

std::optional<MutationFileName> parseMutationFileName(QStringView name)
{
    MutationFileName result;
    if (name.endsWith(temporarySuffix, Qt::CaseInsensitive)) {
        result.temporary = true;
        name.chop(temporarySuffix.size());
    }
    // Parsed from both ends: the rid between the fixed parts may be empty or hold hyphens of its own.
    if (name.size() < lengthBeforeRid + lengthAfterRid)
        return std::nullopt;
    if (!name.endsWith(extension, Qt::CaseInsensitive))
        return std::nullopt;
    const QChar kind = name[name.size() - extension.size() - 1].toLower();
    if (kind != u's' && kind != u'h')
        return std::nullopt;
    if (name.mid(name.size() - lengthAfterRid, tag.size()).compare(tag, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    if (!isDigits(name.mid(0, 8)) || name[8] != u'-' || !isDigits(name.mid(9, 6)) || name[15] != u'-')
        return std::nullopt;
    result.date = name.mid(0, 8).toString();
    result.time = name.mid(9, 6).toString();
    result.rid = name.mid(lengthBeforeRid, name.size() - lengthBeforeRid - lengthAfterRid).toString();
    result.kind = kind;
    return result;
}

SendJob prepareSend(const AppState& state, const GridTable& grid1, const QDateTime& now)
{
    SendJob job;
    job.at = now;
    if (trimSpaces(state.bestandspad()).isEmpty() || !state.klasbekend) {
        job.skipReason = state.klasbekend ? "no file is followed" : "the class is not known yet";
        return job;
    }
    job.folder = state.bestandsmap(); // "" is the current folder
    job.rid = state.rid;
    job.bytes = mutationBytes(grid1, state.wnr, state.rid);
    return job;
}

SendResult writeSend(const SendJob& job)
{
    SendResult result;
    if (job.skipReason) {
        qCInfo(lcSend) << "send: nothing sent," << job.skipReason;
        result.skipped = true;
        return result;
    }
    const QString& folder = job.folder;
    // One reading of the clock for both copies: two readings could straddle a second, or midnight.
    const QString date = job.at.toString(QStringLiteral("yyyyMMdd"));
    const QString time = job.at.toString(QStringLiteral("HHmmss"));
    const QString ownRid = safeRid(job.rid);

    // The name written of each kind; empty for a kind whose copy is not in place.
    QString written[std::size(mutationKinds)];
    for (std::size_t k = 0; k < std::size(mutationKinds); ++k) {
        const QString name = nameWithSafeRid(date, time, ownRid, mutationKinds[k]);
        const platform::FileResult outcome
            = platform::writeFileWhole(folder + name, job.bytes, platform::AttrHidden | platform::AttrArchive);
        if (outcome.ok()) {
            written[k] = name;
            result.files << name;
            qCInfo(lcSend).noquote() << "send: wrote" << name << "in" << folder;
        } else {
            result.failures.push_back(MutationFailure { folder + name, outcome.error });
            qCInfo(lcSend).noquote() << "send: could not write" << name << "in" << folder << "-" << outcome.error;
        }
    }
    result.written = result.failures.empty();

    // Clean up by name, never by time: after the clock was set back, an older snapshot may carry a later
    // time than the one just written, and the one just written is the one the office must read.
    for (const QString& name : platform::listFolder(folder, listingPattern, platform::Listing::IncludeHidden)) {
        const std::optional<MutationFileName> parsed = parseMutationFileName(name);
        if (!parsed)
            continue;
        bool remove = false;
        if (parsed->date != date) {
            remove = true; // an earlier day's (or a wrong clock's) file, of any class
        } else if (parsed->rid == ownRid) {
            if (parsed->temporary) {
                remove = true; // a copy of this class that a crash kept from being moved into place
            } else {
                for (std::size_t k = 0; k < std::size(mutationKinds); ++k) {
                    // Only a kind whose new copy is in place gives up its older files of today. Names are
                    // compared regardless of case: where the folder ignores case (Windows, a share), the copy
                    // just written may be listed under the spelling of the file it replaced.
                    if (parsed->kind == mutationKinds[k] && !written[k].isEmpty()
                        && name.compare(written[k], Qt::CaseInsensitive) != 0)
                        remove = true;
                }
            }
            // Read last, and only for a file that would go: the copies just written are never read back.
            remove = remove && !belongsToAnotherClass(folder + name, job.rid);
        }
        if (remove)
            removeLogged("send", folder, name); // what cannot be removed now goes at a later send
    }
    return result;
}

SendResult verzendmutatie(const AppState& state, const GridTable& grid1, platform::Clock& clock)
{
    const SendResult result = writeSend(prepareSend(state, grid1, clock.now()));
    if (!result.skipped)
        clock.pause(pauseMilliseconds);
    return result;
}

QStringList wismutaties(const AppState& state)
{
    return wismutaties(CleanUpJob { state.bestandspad(), state.bestandsmap(), state.rid });
}

QStringList wismutaties(const CleanUpJob& job)
{
    QStringList removed;
    if (trimSpaces(job.bestandspad).isEmpty() || job.rid.isEmpty())
        return removed;
    const QString ownRid = safeRid(job.rid);
    for (const QString& name : platform::listFolder(job.folder, listingPattern, platform::Listing::IncludeHidden)) {
        const std::optional<MutationFileName> parsed = parseMutationFileName(name);
        if (parsed && parsed->rid == ownRid && !belongsToAnotherClass(job.folder + name, job.rid)
            && removeLogged("clean-up", job.folder, name))
            removed << name;
    }
    return removed;
}

QString verzendFoutmelding(const SendResult& result)
{
    if (result.failures.empty())
        return QString();
    QString message = result.failures.size() < std::size(mutationKinds)
        ? QStringLiteral("De wijziging is niet volledig verzonden:")
        : QStringLiteral("De wijziging is niet verzonden:");
    for (const MutationFailure& failure : result.failures) {
        const QFileInfo info(failure.path);
        message += QStringLiteral("\nin de map %1 kon %2 niet worden geschreven (%3).")
                       .arg(QDir::toNativeSeparators(info.absolutePath()), info.fileName(),
                           platform::reasonInDutch(failure.reason));
    }
    message += QStringLiteral("\n\nControleer of de map bereikbaar is en verzend de wijziging opnieuw.");
    return message;
}
