#include "publication.h"

#include "folderlisting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

namespace kantoor {

namespace {

// What Windows refuses in a file name; the shared folder is often a Windows share.
bool isForbiddenInFileName(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F || QStringLiteral("/\\:*?\"<>|").contains(c);
}

QString nameProblem(const QString& text)
{
    for (QChar c : text) {
        if (isForbiddenInFileName(c))
            return QStringLiteral("it holds a character that a file name cannot (one of / \\ : * ? \" < > | or a "
                                  "control character)");
    }
    // Windows drops a trailing dot or space from a name, which would change the file's name.
    if (text.endsWith(QLatin1Char('.')) || text.endsWith(QLatin1Char(' ')))
        return QStringLiteral("it ends in a dot or a space");
    return QString();
}

} // namespace

QString folderProblem(const QString& folder)
{
    if (folder.isEmpty())
        return QStringLiteral("no folder given");
    const QFileInfo info(folder);
    if (!info.exists())
        return QStringLiteral("the folder %1 does not exist").arg(QDir::toNativeSeparators(folder));
    if (!info.isDir())
        return QStringLiteral("%1 is not a folder").arg(QDir::toNativeSeparators(folder));
    return QString();
}

QString classIdProblem(const QString& classId)
{
    if (classId.isEmpty())
        return QStringLiteral("the class identifier is empty");
    if (classId.size() > 64)
        return QStringLiteral("the class identifier is longer than 64 characters");
    const QString problem = nameProblem(classId);
    return problem.isEmpty() ? QString() : QStringLiteral("the class identifier cannot be used: ") + problem;
}

QString ridProblem(const QString& rid)
{
    if (rid.size() > 64)
        return QStringLiteral("the rid is longer than 64 characters");
    const QString problem = nameProblem(rid);
    return problem.isEmpty() ? QString() : QStringLiteral("the rid cannot be used: ") + problem;
}

QString runningOrderFileName(const QString& classId)
{
    return QStringLiteral("baldovenaar rst-") + classId + QStringLiteral(".dvz");
}

QStringList namesSharingPrefix(const QString& folder, const QString& classId)
{
    constexpr int stationPrefixLength = 20;
    const QString name = runningOrderFileName(classId);
    const QString baseName = name.left(name.size() - 4);
    QStringList others = platform::listFolder(folder, baseName.left(stationPrefixLength) + QStringLiteral("*.dvz"));
    others.removeIf([&name](const QString& other) { return other.compare(name, Qt::CaseInsensitive) == 0; });
    return others;
}

namespace {

// The checks both commands make before they touch the folder: the class's file path, or the reason why
// the command is refused.
Publication locateClassFile(const QString& folder, const QString& classId)
{
    Publication result;
    if (QString problem = folderProblem(folder); !problem.isEmpty())
        result.error = problem;
    else if (QString problem = classIdProblem(classId); !problem.isEmpty())
        result.error = problem;
    else
        result.path = QDir(folder).absoluteFilePath(runningOrderFileName(classId));
    if (result.error.isEmpty() && QFileInfo(result.path).isSymLink())
        result.error = QStringLiteral("%1 is a link; the office writes its files in the folder itself")
                           .arg(QDir::toNativeSeparators(result.path));
    result.refused = !result.error.isEmpty();
    return result;
}

} // namespace

Publication publishRunningOrder(const QString& folder, const QString& classId, const QByteArray& bytes)
{
    const Publication located = locateClassFile(folder, classId);
    if (!located.error.isEmpty())
        return located;
    return replaceFile(located.path, bytes);
}

Publication replaceFile(const QString& path, const QByteArray& bytes)
{
    Publication result;
    result.path = path;
    // The temporary file's name ends in random characters, not ".dvz", so the station's lookup by name
    // prefix and "*.dvz" never picks it up.
    QSaveFile file(result.path);
    // Only a true rename gives the reader a whole file; never fall back to writing the target in place.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        result.error
            = QStringLiteral("cannot write %1: %2").arg(QDir::toNativeSeparators(result.path), file.errorString());
        return result;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        result.error
            = QStringLiteral("cannot write %1: %2").arg(QDir::toNativeSeparators(result.path), file.errorString());
        file.cancelWriting();
        return result;
    }
    result.ok = true;
    return result;
}

Publication rewriteInPlace(
    const QString& path, const QByteArray& bytes, qsizetype pieceSize, const std::function<void()>& betweenPieces)
{
    Publication result;
    result.path = path;
    QFile file(path);
    const auto failed = [&] {
        result.error = QStringLiteral("cannot write %1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
        return result;
    };
    if (!QFileInfo(path).isFile() || QFileInfo(path).isSymLink()) {
        result.error
            = QStringLiteral("cannot write %1 in place: there is no such file").arg(QDir::toNativeSeparators(path));
        return result;
    }
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return failed();
    const qsizetype step = pieceSize > 0 ? pieceSize : std::max<qsizetype>(bytes.size(), 1);
    for (qsizetype start = 0; start < bytes.size(); start += step) {
        const QByteArray piece = bytes.mid(start, step);
        if (file.write(piece) != piece.size() || !file.flush())
            return failed();
        if (start + step < bytes.size() && betweenPieces)
            betweenPieces();
    }
    file.close();
    if (file.error() != QFileDevice::NoError)
        return failed();
    result.ok = true;
    return result;
}

Publication readRunningOrder(const QString& folder, const QString& classId, QByteArray& bytes)
{
    Publication result = locateClassFile(folder, classId);
    if (!result.error.isEmpty())
        return result;
    QFile file(result.path);
    if (!QFileInfo(result.path).isFile() || !file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("cannot read %1").arg(QDir::toNativeSeparators(result.path));
        return result;
    }
    bytes = file.readAll();
    result.ok = true;
    return result;
}

} // namespace kantoor
