#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The SMB test's helper programs (smbd, smbnetfs) each run as a process group of their own, so that all of a
// program's processes are frozen or stopped at once, and never outlive the test: each gets SIGKILL when the
// test's main thread ends, however it ends.
namespace processgroup {

// Who makes the program the leader of a new session and process group: this helper, or the program itself
// (smbd does so, and fails when it already is one).
enum class Session { MadeHere, MadeByProgram };

// Starts `program` as the leader of a new session and process group. Its output goes to `logFile`.
bool start(QProcess& process, const QString& program, const QStringList& arguments, const QString& logFile,
    Session session = Session::MadeHere);

// Sends `signal` to every process of the group.
void signal(const QProcess& process, int signal);

// Makes a program started by `process` (in its own group or not) end with the thread that starts it: the
// office's and the station's programs must not go on without the test.
void endWithStarter(QProcess& process);

// SIGTERM to the group; SIGKILL when it has not ended within `graceMilliseconds`. True when it ended.
bool stop(QProcess& process, int graceMilliseconds);

} // namespace processgroup
