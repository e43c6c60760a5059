#pragma once

#include "liststate.h"
#include "runorderloader.h"

#include <QList>
#include <QString>

namespace testsupport {

// Records what the loader's checks told, as the main window would show it.
class RecordingView
{
public:
    QString caption;
    ListState listState = ListState::Shown;
    // The list is on screen: shown, or the last one while the file cannot be found.
    bool gridVisible = true;
    QString titel, datum, begintijd;
    ListNews news = ListNews::Untold;
    int adjustCalls = 0;
    // Checks that found the file (and so worked the selection and the buttons out again).
    int refreshCalls = 0;
    // Checks that looked at the file (and so worked the send rule out again).
    int wijzigingenCalls = 0;
    int replaceCalls = 0;
    QList<int> lookAgain;

    void record(const RunOrderLoader::Check& check)
    {
        if (check.listState) {
            listState = *check.listState;
            gridVisible = listState != ListState::Empty;
            ++wijzigingenCalls;
        }
        if (check.caption)
            caption = *check.caption;
        if (check.labels) {
            titel = check.labels->titel;
            datum = check.labels->datum;
            begintijd = check.labels->begintijd;
        }
        if (check.news != ListNews::Untold) {
            news = check.news;
            ++refreshCalls;
        }
        if (check.layoutNeeded)
            ++adjustCalls;
        if (check.lookAgainAfter)
            lookAgain << *check.lookAgainAfter;
    }
};

} // namespace testsupport
