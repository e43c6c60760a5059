#pragma once

#include <QStringList>
#include <QTextStream>

namespace platform {
class Clock;
}

namespace kantoor {

// The command line of the office stand-in: "publish" writes a class's running-order file into a folder
// (the bundled sample class or a CSV starter list, header values and starters adjustable), "edit" changes
// the class as it stands in its file, "touch" rewrites the existing file unchanged, as the office does
// when it saves again, and "serve" takes in the ring's mutation files until the process is asked to stop
// (it needs a QCoreApplication). Reports go to `out`, problems to `err`.
//
// Exit status: 0 done; 1 the file could not be written; 2 the command line or its input was refused
// (nothing is written then).
int runKantoor(const QStringList& arguments, QTextStream& out, QTextStream& err, const platform::Clock& clock);

} // namespace kantoor
