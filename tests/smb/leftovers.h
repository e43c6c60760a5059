#pragma once

#include <QString>

// What an SMB test run leaves when it is killed (CTest's timeout, a Ctrl-C): smbd and smbnetfs running, the
// share mounted, its folder in the temporary folder. Every run's folder holds the test's process id ("owner")
// and those of the programs it started ("pids"), so that a leftover is recognised as one, and nothing else is
// ever stopped or unmounted.
namespace leftovers {

// The prefix of every run's folder, below the system's temporary folder.
QString folderPrefix();

// Records a program the run started, for the guard and the next run's sweep.
bool recordProcess(const QString& runFolder, qint64 pid);

// Clears what earlier runs left: for each run folder whose owner is gone, stops its programs that are still
// there, detaches its mount and removes the folder. Returns how many it cleared.
int sweep();

// Starts a guard outside the test's process tree (CTest kills the whole tree on a timeout) that waits for the
// test to end, however it ends, and then clears its folder as sweep() would.
bool startGuard(const QString& runFolder);

} // namespace leftovers
