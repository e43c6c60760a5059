#include "daylog.h"

#include "clock.h"
#include "diagnostics.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <functional>

namespace {

const QString prefix = QStringLiteral("logboek-");
const QString suffix = QStringLiteral(".txt");

} // namespace

DayLog::DayLog(QString folder, const platform::Clock& clock)
    : m_folder(std::move(folder))
    , m_clock(clock)
{
    purge();
}

QString DayLog::fileFor(const QDate& day) const
{
    return QDir(m_folder).filePath(prefix + day.toString(QStringLiteral("yyyyMMdd")) + suffix);
}

QDate DayLog::today() const
{
    return m_clock.now().date();
}

QString DayLog::todaysFile() const
{
    return fileFor(m_clock.now().date());
}

void DayLog::append(const QString& klasse, const QString& what)
{
    // One reading of the clock: the file's day and the line's time never disagree at midnight.
    const QDateTime now = m_clock.now();
    if (!QDir().mkpath(m_folder))
        return;
    QFile file(fileFor(now.date()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        qCWarning(lcFollow).noquote() << "day log: cannot write" << file.fileName() << "-" << file.errorString();
        return;
    }
    QString line = now.toString(QStringLiteral("HH:mm:ss")) + u'\t' + klasse + u'\t' + what;
    // One thing, one line: a name from the office's file never splits it.
    line.replace(u'\r', u' ').replace(u'\n', u' ');
    file.write((line + u'\n').toUtf8());
}

namespace {

// The day of a file of the log by its name; an invalid date for any other file.
QDate dayOf(const QString& entry)
{
    static const QRegularExpression name(QStringLiteral("^logboek-(\\d{8})\\.txt$"));
    const QRegularExpressionMatch match = name.match(entry);
    return match.hasMatch() ? QDate::fromString(match.captured(1), QStringLiteral("yyyyMMdd")) : QDate();
}

} // namespace

QList<QDate> DayLog::days() const
{
    QList<QDate> days;
    for (const QString& entry : QDir(m_folder).entryList({ prefix + u'*' + suffix }, QDir::Files)) {
        if (const QDate day = dayOf(entry); day.isValid())
            days << day;
    }
    std::sort(days.begin(), days.end(), std::greater<>());
    return days;
}

void DayLog::purge()
{
    const QDate oldest = m_clock.now().date().addDays(-keptDays);
    const QDir dir(m_folder);
    for (const QString& entry : dir.entryList({ prefix + u'*' + suffix }, QDir::Files)) {
        const QDate day = dayOf(entry);
        if (day.isValid() && day < oldest)
            QFile::remove(dir.filePath(entry));
    }
}
