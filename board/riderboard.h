#pragma once

#include "boardcontent.h"

#include <QWidget>

class BoardFeed;
class QScreen;
class Station;

// The rider board ("Ruiterscherm"): a second window for a screen at the in-gate or in the warm-up arena. It
// paints what its BoardFeed gives: the class's title, very large the starter in the ring and the next two
// ("In de ring", "Klaar staan", "Daarna"), and below them the next eight with their planned times (and beside
// them "ca. 10:52" where the ring's pace expects them two minutes or more away from it), the
// starters not started struck through and the pauses as bands; greyed, with "niet bijgewerkt sinds ...",
// while the station shows a list that is not up to date. Sizes follow the window's height: the three big lines
// are at least a twelfth of it, legible from ten metres on a full-HD screen; a long name there is drawn smaller
// (down to two thirds) before it is cut.
//
// It takes no part in the official's work: it never takes the activation when it opens (the keyboard stays
// with the main window), and what it shows is the station's.
class RiderBoard : public QWidget
{
    Q_OBJECT

public:
    explicit RiderBoard(Station& station, QWidget* parent = nullptr);

    BoardFeed& feed() const { return *m_feed; }

    // Shows the board: full screen on a screen other than `mainScreen` when there is one, else as a normal
    // window beside the main one.
    void open(const QScreen* mainScreen);
    // F11: full screen or back to a window.
    void toggleFullScreen();

    // The text height, in pixels, of the starter in the ring and of the next two, at the board's height.
    int ringLinePixels() const;
    int nextLinePixels() const;
    // The width a starter's big line takes at a text height, in pixels: a long name is drawn smaller until
    // this fits the line.
    static int bigLineWidth(const BoardStarter& starter, int pixels);

signals:
    // The board was shown or closed.
    void shownChanged(bool shown);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showContent(const BoardContent& content);

    BoardFeed* m_feed = nullptr;
};
