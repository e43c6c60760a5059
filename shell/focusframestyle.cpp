#include "focusframestyle.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

FocusFrameStyle::FocusFrameStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{
}

void FocusFrameStyle::drawControl(
    ControlElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const
{
    QProxyStyle::drawControl(element, option, painter, widget);
    // As Fusion decides it: the focus shows once the keyboard has moved it.
    const bool keyboardFocus = (option->state & State_HasFocus) && (option->state & State_KeyboardFocusChange);
    if (element != CE_PushButton || !keyboardFocus)
        return;
    painter->save();
    painter->setPen(QPen(Qt::black, 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRectF(option->rect).adjusted(2, 2, -2, -2));
    painter->restore();
}
