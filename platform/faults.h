#pragma once

#include <QString>
#include <optional>

// Failures on demand, so that tests can show what the station does when a file operation fails (a
// folder gone, a disk full, no rights) without needing such a disk. Compiled into every build but inert
// until a test injects a fault: then the named operation fails, with the given reason, on every path
// that contains the given part. The cost when nothing is injected is one relaxed atomic load per call.
namespace platform::faults {

enum class Operation { Open, Read, Write, Rename, Remove, GetAttributes, SetAttributes, List };

// From now on `operation` fails on every path containing `pathPart` ("" for every path) with `reason`.
void inject(Operation operation, const QString& pathPart, const QString& reason);

// From now on `operation` on such a path first waits `milliseconds`, as a call to a network share does while the
// server does not answer; then it goes ahead (or fails, when a failure is injected too).
void injectDelay(Operation operation, const QString& pathPart, int milliseconds);

// From now on `operation` on such a path waits until releaseHolds() (or clear()), as a call to a share whose
// server has stopped answering does: the test decides when the share comes back, without sleeping.
void injectHold(Operation operation, const QString& pathPart);
// Ends every hold: the calls waiting in them go ahead, and no call waits in them any more.
void releaseHolds();
// How many calls are waiting in a hold now.
int heldCalls();

// Removes every injected fault (and releases the holds).
void clear();

// The reason `operation` on `path` must fail, or nothing when it may go ahead; waits first when a delay is
// injected for it.
std::optional<QString> check(Operation operation, const QString& path);

} // namespace platform::faults
