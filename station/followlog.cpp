#include "followlog.h"

#include "daylogtexts.h"

QStringList FollowLog::changed(const RunOrderLoader& loader, bool greyed)
{
    using Problem = RunOrderLoader::FollowProblem;
    QStringList lines;
    const bool kept = loader.keptPastMidnight();
    if (kept && !m_kept)
        lines << daylogtext::keptPastMidnight(loader.keptFileDay());
    m_kept = kept;
    const Problem problem = loader.followProblem();
    const Problem before = m_problem;
    m_problem = problem;
    switch (problem) {
    case Problem::FolderUnreachable:
        if (before != problem)
            lines << daylogtext::shareUnreachable(greyed);
        break;
    case Problem::NotFound:
        if (before != problem)
            lines << daylogtext::fileNotFound(greyed);
        break;
    case Problem::NotToday:
        if (before != problem)
            lines << daylogtext::notToday(before == Problem::None);
        break;
    case Problem::None:
        if (before == Problem::FolderUnreachable)
            lines << daylogtext::shareBack();
        else if (before == Problem::NotFound)
            lines << daylogtext::fileBack();
        break;
    case Problem::NothingFollowed:
        break;
    }
    return lines;
}
