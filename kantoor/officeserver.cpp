#include "officeserver.h"

#include "classedits.h"
#include "columns.h"
#include "fileattributes.h"
#include "filereading.h"
#include "filewriting.h"
#include "folderlisting.h"
#include "mutatiebestand.h"
#include "mutationfile.h"
#include "plannedtimes.h"
#include "publication.h"
#include "publishedorder.h"
#include "stopsignals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QTimer>

namespace kantoor {

namespace {

// The bytes of a file in the folder, when it could be read whole and stayed the same while it was read.
// Read through the platform layer, so that a FIFO or a device put under the name after the listing is
// refused at once rather than waited on.
std::optional<QByteArray> readSteady(const QString& path, qint64 limit)
{
    const std::optional<platform::FileStamp> before = platform::fileStamp(path);
    if (!before)
        return std::nullopt;
    platform::FileRead read = platform::readFileStart(path, limit + 1);
    const std::optional<platform::FileStamp> after = platform::fileStamp(path);
    if (!read.ok() || !after || *before != *after)
        return std::nullopt;
    return std::move(read.bytes);
}

} // namespace

struct OfficeServer::Candidate
{
    QString name;
    MutationFileName parts;
};

OfficeServer::OfficeServer(QString folder, QChar kind, QTextStream& out, QTextStream& err, QObject* parent)
    : QObject(parent)
    , m_folder(std::move(folder))
    , m_kind(kind)
    , m_out(out)
    , m_err(err)
{
}

void OfficeServer::report(const QString& about, const QString& message)
{
    if (m_lastReport.value(about) == message)
        return;
    m_lastReport.insert(about, message);
    m_err << "kantoor: " << message << Qt::endl;
}

int OfficeServer::takeIn()
{
    // The station writes its mutation files hidden; they are listed all the same. Only names of the exact
    // shape count, and only of this server's kind.
    QHash<QString, QList<Candidate>> byRid;
    const QStringList names = platform::listFolder(m_folder, QStringLiteral("*.mut"), platform::Listing::IncludeHidden);
    for (const QString& name : names) {
        const std::optional<MutationFileName> parts = parseMutationFileName(name);
        // A copy the station has not moved into place yet is not a send.
        if (parts && !parts->temporary && parts->kind == m_kind)
            byRid[parts->rid].append({ name, *parts });
    }
    if (byRid.isEmpty())
        return 0;

    // Which class each rid belongs to: the rid in the class's own file, as the station puts it in a name.
    QHash<QString, QStringList> classesByRid;
    QHash<QString, PublishedOrder> classes;
    for (const QString& name : platform::listFolder(m_folder, QStringLiteral("baldovenaar rst-*.dvz"))) {
        const QString path = QDir(m_folder).filePath(name);
        if (QFileInfo(path).isSymLink())
            continue;
        // A class the office is writing this instant is looked at again in the next round.
        const std::optional<QByteArray> bytes = readSteady(path, 64 * 1024 * 1024);
        if (!bytes)
            continue;
        PublishedOrder order = publishedOrderFromBytes(*bytes);
        classesByRid[safeRid(order.rid)].append(name);
        classes.insert(name, std::move(order));
    }

    int taken = 0;
    for (auto it = byRid.cbegin(); it != byRid.cend(); ++it) {
        const QStringList owners = classesByRid.value(it.key());
        if (owners.size() > 1) {
            report(QStringLiteral("rid:") + it.key(),
                QStringLiteral("the mutation files of rid \"%1\" are left alone: the classes %2 have that rid")
                    .arg(it.key(), owners.join(QStringLiteral(", "))));
            continue;
        }
        // Mutation files of a class that is not in the folder (yet) wait for it.
        if (owners.size() == 1)
            takeInClass(owners.constFirst(), classes.value(owners.constFirst()), it.value(), taken);
    }
    return taken;
}

void OfficeServer::takeInClass(
    const QString& className, PublishedOrder order, const QList<Candidate>& mutations, int& taken)
{
    // The newest by the date and time in its name; of equal ones the last listed.
    const Candidate* newest = &mutations.constFirst();
    for (const Candidate& candidate : mutations) {
        if (std::pair(candidate.parts.date, candidate.parts.time) >= std::pair(newest->parts.date, newest->parts.time))
            newest = &candidate;
    }
    const QDir folder(m_folder);
    const QString mutationPath = folder.filePath(newest->name);
    const auto refuse = [&](const QString& reason) {
        report(className, QStringLiteral("%1 refused: %2; %3 left as it is").arg(newest->name, reason, className));
    };
    if (QFileInfo(mutationPath).isSymLink()) {
        refuse(QStringLiteral("it is a link, not a file the station wrote"));
        return;
    }
    const std::optional<QByteArray> bytes = readSteady(mutationPath, maxMutationBytes);
    if (!bytes) {
        // Still being written, or gone: the next round looks again.
        return;
    }
    const MutationRead read = parseMutation(*bytes);
    if (!read.mutation) {
        refuse(read.problem);
        return;
    }
    const PublishedOrder published = order;
    if (const QString problem = applyMutation(order, *read.mutation); !problem.isEmpty()) {
        refuse(problem);
        return;
    }
    // A new order is a new plan: the riders' times follow their places. Marks alone leave the times as the
    // office gave them.
    if (!sameOrder(order, published))
        planTimes(order, published, m_startInterval);
    numberPositions(order);
    const Publication written = replaceFile(folder.filePath(className), runningOrderBytes(order));
    if (!written.ok) {
        // The mutation files stay, so the next round tries again.
        report(className, written.error);
        return;
    }
    // The station leaves its files hidden; their attributes are reset before they go.
    for (const Candidate& candidate : mutations)
        (void)platform::removeFile(folder.filePath(candidate.name));
    m_lastReport.remove(className);
    ++taken;

    int starters = 0;
    int notStarted = 0;
    for (const QStringList& line : order.lines) {
        if (isPauseKey(line.value(column::Key)))
            continue;
        ++starters;
        notStarted += line.value(column::Mark) == notStartedMark ? 1 : 0;
    }
    m_out << newest->name << ": " << className << " published anew, " << starters << " starters in the ring's order, "
          << notStarted << " not started" << Qt::endl;
}

int OfficeServer::serve(int interval)
{
    // SIGINT and SIGTERM end the loop, after the round under way.
    const platform::StopSignals stopSignals;
    connect(&stopSignals, &platform::StopSignals::stopRequested, this, [] { QCoreApplication::quit(); });
    m_err << "kantoor: taking in the \"" << m_kind << "\" mutation files in " << QDir::toNativeSeparators(m_folder)
          << " every " << interval << " ms; Ctrl-C stops" << Qt::endl;

    QTimer rounds;
    rounds.setInterval(interval);
    connect(&rounds, &QTimer::timeout, this, &OfficeServer::takeIn);
    takeIn();
    rounds.start();
    QCoreApplication::exec();

    m_err << "kantoor: stopped" << Qt::endl;
    return 0;
}

} // namespace kantoor
