#pragma once

#include "frmbaldovenaar.h"
#include "stationfixture.h"

#include <QList>
#include <QString>
#include <memory>
#include <optional>

class FlexGrid;
class HoldButton;
class QLabel;
class QPushButton;

// The main window over a station of StationFixture, on the offscreen platform, without the splash. The
// open dialog is a stand-in that answers `answer` and records how it was asked; the window's messages
// go to `messages`.
namespace testsupport {

class WindowFixture : public StationFixture
{
public:
    ~WindowFixture() override;

    struct DialogCall
    {
        QString title;
        QString folder;
        QString filter;
    };

    // A new station and a window over it, loaded (settings read, the first read made) and, with `show`,
    // shown and exposed. With `qtDialog` the open command shows Qt's own dialog. The station reads a changed
    // file once it has stayed the same for `settleTime` ms (at the first look with 0).
    FrmBaldovenaar& makeWindow(bool show = true, bool qtDialog = false, int settleTime = 0);
    FrmBaldovenaar& window() { return *m_window; }
    Station& makeStation(int settleTime = 0) override;
    void destroyStation() override;

    // Publishes the class and opens it through the window's open command.
    bool openClass(const QByteArray& bytes, const QString& classId = QStringLiteral("0007"));

    QPushButton* button(knoppen::Knop knop) const;
    HoldButton* moveButton(regels::Richting richting) const;
    FlexGrid* grid() const;
    QLabel* label(const QString& name) const;
    // A left click on a data row of grid(1), in the rider's column, scrolled into sight first.
    void clickRow(int row, Qt::KeyboardModifiers modifiers = {});

    std::optional<QString> answer;
    QList<DialogCall> dialogCalls;
    // The questions the window asked (close or open with work the office has not taken in), and the answer.
    QStringList questions;
    bool answerYes = true;
    // The next window starts maximised when no place was saved, as a station does; tests that size the window
    // themselves leave it normal.
    bool maximiseAtFirstStart = false;
    // The next window shows the station's messages in its own message boxes, not in `messages`.
    bool realMessageBoxes = false;

private:
    std::unique_ptr<FrmBaldovenaar> m_window;
};

} // namespace testsupport
