#pragma once

#include "fadein.h"

#include <QDialog>
#include <QString>

class QLabel;
class QShowEvent;
class QTimer;

// "versie " followed by major, minor and revision joined by full stops, each a plain decimal number
// (3, 5, 1026 gives "versie 3.5.1026"); no build number.
QString versionText(int major, int minor, int revision);

// The version line of this build of the station.
QString programVersionText();

// The splash window frmIntro: a borderless 576 × 363 picture with the product name, the station's name,
// its version and the credits, centred on the screen while the main window loads. When it is first shown
// it fades in from fully transparent (Timer2, every 10 ms) and 3 seconds later closes itself without a
// fade-out (Timer1), which ends a modal exec(). Closing it never quits the application, since the main
// window is still hidden at that moment.
class FrmIntro : public QDialog
{
    Q_OBJECT

public:
    explicit FrmIntro(QWidget* parent = nullptr);

    // Shows the splash modally, without an owner, and returns once it has closed itself.
    static void showModal();

    // The timers' tick handlers: Timer1 closes the splash, Timer2 takes the fade one step further.
    void timer1Tick();
    void timer2Tick();

    const FadeIn& fade() const { return m_fade; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    // The load handler, run when the splash is first shown: it starts the fade and the closing timer.
    void onLoad();

    QLabel* m_image1 = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_label2 = nullptr;
    QLabel* m_label3 = nullptr;
    QLabel* m_label5 = nullptr;
    QLabel* m_label6 = nullptr;
    QTimer* m_timer1 = nullptr;
    QTimer* m_timer2 = nullptr;
    FadeIn m_fade;
    bool m_loaded = false;
};
