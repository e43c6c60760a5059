#pragma once

#include <QPushButton>

// A button that is held rather than clicked: the move buttons that move a line, once at the press and
// again and again while held. It takes no focus (the grid keeps it while lines move) and reports the
// press and the release of any mouse button itself: QAbstractButton reacts to the left button only,
// and reports a release as soon as the focus moves during the press.
//
// A hold also ends without a release, when the button is disabled or hidden under the pointer or the
// window loses the activation (the release then goes elsewhere): holdLost() says so, so that the moves
// never run on unseen.
class HoldButton : public QPushButton
{
    Q_OBJECT

public:
    explicit HoldButton(QWidget* parent = nullptr);

    bool isHeld() const { return m_held != Qt::NoButton; }

signals:
    // The mouse button as the window reports buttons: 1 left, 2 right, 4 middle.
    void mouseDown(int button);
    void mouseUp(int button);
    void holdLost();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    void loseHold();

    Qt::MouseButton m_held = Qt::NoButton;
};
