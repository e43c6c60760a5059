#pragma once

#include <QString>
#include <QStringList>

// Running another program of the project (the office stand-in, the station) as a test's helper.
namespace testsupport {

struct ProgramRun
{
    int status = -1; // the exit code; -1 when it crashed or did not end in time
    QString out;
    QString err;
};

// Runs the program to its end; one that has not ended after `timeout` milliseconds is killed.
ProgramRun runProgram(const QString& program, const QStringList& arguments, int timeout = 30000);

} // namespace testsupport
