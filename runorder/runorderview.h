#pragma once

#include <QString>

// What the loader of the running order asks of the main window. The window implements it; tests use a
// recording stand-in. Calls into routines that are not there yet are simply empty.
class RunOrderView
{
public:
    virtual ~RunOrderView() = default;

    virtual void setCaption(const QString& caption) = 0;
    virtual void setGridVisible(bool visible) = 0;
    virtual void setLabels(const QString& titel, const QString& datum, const QString& begintijd) = 0;
    // The back colour of the change indicator lblMutatie, as a raw &H00BBGGRR& value.
    virtual void setMutatieColour(quint32 colour) = 0;
    // Lays out grid(1) again (font size and column widths follow the new contents).
    virtual void adjust_grid() = 0;
    // Repaints the row selection of grid(1).
    virtual void GridMultiSelect_Refresh() = 0;
    // Enables the edit buttons from the permissions.
    virtual void zetknoppen() = 0;
    // Enables the send button when there are changes the station may report.
    virtual void controleerwijzigingen() = 0;
    // The followed file was found changed and is read once it has stayed so for a while: look again (a
    // periodic call) after this many milliseconds rather than at the next tick.
    virtual void lookAgainAfter(int milliseconds) = 0;
};
