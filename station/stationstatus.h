#pragma once

#include "runorderloader.h"

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QStringList>

// What the station tells the official in its status line, as plain data: where the ring's work stands with
// the office (not sent, sent and waiting, taken in, not taken in after a minute, not taken in as sent, a send
// that failed), what the office did to the list, and why no up-to-date list is shown. The views decide how it
// looks; statusText gives the Dutch words, with the times in them, the same for every view.
struct StationStatus
{
    // Where the followed file stands.
    enum class Follow {
        Shown, // the office's list is on screen and up to date
        NothingFollowed, // no file chosen
        NotFound, // the file is not in its folder (since `since`)
        Unreachable, // the folder cannot be reached (since `since`)
        NotToday, // the file is not of today
    };
    // Where the ring's last send stands.
    enum class Send {
        None, // nothing sent since the office's last list (or the send was taken in and is old news)
        Sending, // the send made at `sentAt` is being written to the shared folder
        Hanging, // the send made at `sentAt` has not reached the shared folder after a few seconds
        Waiting, // sent at `sentAt`, waiting for the office
        Stalled, // sent at `sentAt`, not taken in after a minute
        TakenIn, // taken in by the office at `receivedAt`
        NotAsSent, // the office published another list than the one sent, at `receivedAt`
        Failed, // the send at `sentAt` failed
        ChangedAfterSend, // the ring changed its list after the send at `sentAt`: not sent as it is now
    };
    // A one-off notice about the ring's unsent work.
    enum class Work {
        None,
        Restored, // the unsent work came back at start-up or Openen (`count` starters)
        Offered, // the office's new list replaced unsent work: "Opnieuw toepassen" can put it back
        Reapplied, // `count` changes came back, `missing` could not
    };

    Follow follow = Follow::NothingFollowed;
    QDateTime since; // of the follow problem; for a stale list, when the file was last found
    bool stale = false; // the last list is shown greyed while the file cannot be found
    int unsent = 0; // starters that differ from the office's list and are not sent
    Send send = Send::None;
    QDateTime sentAt;
    QDateTime receivedAt;
    Work work = Work::None;
    int count = 0;
    QStringList missing;
    QDateTime officeChanged; // the office replaced the ring's list at this time (the green square)
    bool closing = false; // the close waits a few seconds for the shared folder to take what is under way
    // A move by the ring left one rider's two rounds too close together: the warning, with places and name.
    QString crowded;

    friend bool operator==(const StationStatus&, const StationStatus&) = default;
};
Q_DECLARE_METATYPE(StationStatus)

// How a status line must catch the eye, beside its words: a shape or a colour must never be the only sign.
enum class StatusTone { Quiet, Waiting, Good, Warning };

// A time of the status as the official reads it: hh:mm:ss, or "--:--:--" when there is none.
QString clockTime(const QDateTime& at);

// The status in Dutch, as one line; `now` counts the seconds of a stall.
QString statusText(const StationStatus& status, const QDateTime& now);
StatusTone statusTone(const StationStatus& status);

// Where the followed file stands, from why the loader's last check did not find it.
StationStatus::Follow followOf(RunOrderLoader::FollowProblem problem);
