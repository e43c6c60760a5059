#pragma once

#include "runorderloader.h"

#include <QStringList>

// What the day log says of following the office's file: the shared folder lost and back, the file gone and back,
// a file not of today, and the list kept past midnight; each once, when the checks find it changed, not at every
// check of the five seconds.
class FollowLog
{
public:
    // The day log's lines for what the loader's last check found; `greyed`: the last list is shown greyed.
    QStringList changed(const RunOrderLoader& loader, bool greyed);

private:
    RunOrderLoader::FollowProblem m_problem = RunOrderLoader::FollowProblem::NothingFollowed;
    bool m_kept = false;
};
