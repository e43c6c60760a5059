#pragma once

#include "filesystemworker.h"
#include "folderlisting.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QString>
#include <optional>

// The check's look for the followed file in its folder, told apart from the question whether the folder is
// there at all. A share that is slow (every call a round trip to a busy server) is not a share that is gone:
// the look runs in the file-system worker's thread, the check waits for it only until its deadline, and a
// look not answered by then goes on and is collected at a later check. Only a look that failed (the folder
// cannot be read) or a share that has not answered for the gone time counts as gone; until then the check
// says it is waiting, and the list stays as it is.
//
// The look asks the folder for its listing and the first match for one look at its metadata (its stamp,
// modification time and attributes), nothing more: that is what a check of an unchanged file costs.
class ShareLook
{
public:
    explicit ShareLook(platform::FileSystemWorker& files)
        : m_files(files)
    {
    }

    // What the folder answered: the first match with its look, or none and whether the folder is there.
    struct Found
    {
        std::optional<platform::LookedMatch> match;
        bool folderExists = false; // asked only when nothing matched
    };
    enum class Outcome {
        Answered, // `found` holds the folder's answer
        Waiting, // the share has not answered yet, for less than the gone time
        Gone, // the share has not answered for the gone time
    };
    struct Result
    {
        Outcome outcome = Outcome::Waiting;
        Found found;
        qint64 waitedMs = 0; // how long the share has kept the station waiting (Waiting, Gone)
    };

    // Looks for `pattern` in `folder`, waiting for the answer until `deadline`. A look still under way from an
    // earlier call for the same folder and pattern is waited for rather than started again; one for another
    // file is of no use and is dropped.
    Result look(const QString& folder, const QString& pattern, QDeadlineTimer deadline);

    // Another file was chosen: a look under way is of no use any more.
    void forget();

    // How long the share may keep a look unanswered before it counts as gone.
    static constexpr int defaultGoneTime = 5000;
    void setGoneTime(int milliseconds) { m_goneTime = milliseconds; }
    int goneTime() const { return m_goneTime; }

private:
    Result waiting();

    platform::FileSystemWorker& m_files;
    int m_goneTime = defaultGoneTime;
    std::optional<platform::FileSystemWorker::Call<Found>> m_pending;
    QString m_pendingFor; // the folder and pattern the pending look is for
    // Since when the share has kept the station waiting (a look not answered, or the worker busy).
    QElapsedTimer m_waitingSince;
};
