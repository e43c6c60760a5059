#pragma once

#include "runorderview.h"

#include <QList>
#include <QString>

namespace testsupport {

// Records what the loader shows, as the main window would show it.
class RecordingView : public RunOrderView
{
public:
    QString caption;
    bool gridVisible = true;
    QString titel, datum, begintijd;
    quint32 mutatie = 0;
    int adjustCalls = 0;
    int refreshCalls = 0;
    int knoppenCalls = 0;
    int wijzigingenCalls = 0;

    void setCaption(const QString& c) override { caption = c; }
    void setGridVisible(bool visible) override { gridVisible = visible; }
    void setLabels(const QString& t, const QString& d, const QString& b) override
    {
        titel = t;
        datum = d;
        begintijd = b;
    }
    void setMutatieColour(quint32 colour) override { mutatie = colour; }
    void adjust_grid() override { ++adjustCalls; }
    void GridMultiSelect_Refresh() override { ++refreshCalls; }
    void zetknoppen() override { ++knoppenCalls; }
    void controleerwijzigingen() override { ++wijzigingenCalls; }
    void lookAgainAfter(int milliseconds) override { lookAgain << milliseconds; }
    QList<int> lookAgain;
};

} // namespace testsupport
