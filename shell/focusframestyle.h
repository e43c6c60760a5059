#pragma once

#include <QProxyStyle>

// The style of the window's buttons: Fusion (which honours their own colours), with a focus frame an official
// sees from the keyboard at arm's length. Fusion marks a focused button with a faint one-pixel line in the
// highlight colour; this style draws two pixels of black inside the button's edge, on every button face.
class FocusFrameStyle : public QProxyStyle
{
    Q_OBJECT

public:
    // Owns the Fusion style it draws with.
    FocusFrameStyle();

    void drawControl(
        ControlElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const override;
};
