#include "statusline.h"

#include "colours.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace {

QColor backOf(StatusTone tone)
{
    switch (tone) {
    case StatusTone::Quiet:
        break;
    case StatusTone::Waiting:
        return colours::toQColor(colours::statusWaiting, QPalette());
    case StatusTone::Good:
        return colours::toQColor(colours::statusGood, QPalette());
    case StatusTone::Warning:
        return colours::toQColor(colours::statusWarning, QPalette());
    }
    return colours::toQColor(colours::statusQuiet, QPalette());
}

} // namespace

StatusLine::StatusLine(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("statusLine"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void StatusLine::setStatus(const QString& text, StatusTone tone)
{
    if (text == m_text && tone == m_tone)
        return;
    m_text = text;
    m_tone = tone;
    updateToolTip();
    update();
}

void StatusLine::setSunlight(bool sunlight)
{
    if (sunlight == m_sunlight)
        return;
    m_sunlight = sunlight;
    update();
}

void StatusLine::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateToolTip();
}

QRect StatusLine::textArea() const
{
    const int left = m_tone == StatusTone::Quiet ? 8 : markSize() + 14;
    return QRect(left, 0, width() - left - 6, height());
}

int StatusLine::markSize() const
{
    return std::max(8, height() - 10);
}

void StatusLine::updateToolTip()
{
    const bool whole = QFontMetrics(font()).horizontalAdvance(m_text) <= textArea().width();
    setToolTip(whole ? QString() : m_text);
}

QSize StatusLine::sizeHint() const
{
    return QSize(400, QFontMetrics(font()).height() + 8);
}

void StatusLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), backOf(m_tone));
    if (m_sunlight) {
        // A dark frame: the line stands apart from the white window in any light.
        painter.setPen(QPen(Qt::black, 2));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    } else {
        painter.setPen(QColor(0x80, 0x80, 0x80));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }

    const int size = markSize();
    const QRectF mark(6, (height() - size) / 2.0, size, size);
    // Black on the pale back colours: the shape reads in black and white too.
    painter.setPen(QPen(Qt::black, std::max(1.5, size / 8.0)));
    painter.setBrush(Qt::NoBrush);
    switch (m_tone) {
    case StatusTone::Quiet:
        break;
    case StatusTone::Waiting:
        painter.drawEllipse(mark.adjusted(1, 1, -1, -1));
        painter.drawLine(mark.center(), QPointF(mark.center().x(), mark.top() + size * 0.25));
        painter.drawLine(mark.center(), QPointF(mark.right() - size * 0.25, mark.center().y()));
        break;
    case StatusTone::Good: {
        QPainterPath tick;
        tick.moveTo(mark.left() + size * 0.1, mark.top() + size * 0.55);
        tick.lineTo(mark.left() + size * 0.4, mark.bottom() - size * 0.1);
        tick.lineTo(mark.right() - size * 0.05, mark.top() + size * 0.1);
        painter.drawPath(tick);
        break;
    }
    case StatusTone::Warning: {
        QPainterPath triangle;
        triangle.moveTo(mark.center().x(), mark.top());
        triangle.lineTo(mark.right(), mark.bottom());
        triangle.lineTo(mark.left(), mark.bottom());
        triangle.closeSubpath();
        painter.drawPath(triangle);
        painter.drawLine(QPointF(mark.center().x(), mark.top() + size * 0.35),
            QPointF(mark.center().x(), mark.bottom() - size * 0.3));
        painter.drawPoint(QPointF(mark.center().x(), mark.bottom() - size * 0.14));
        break;
    }
    }

    const QRect area = textArea();
    painter.setPen(colours::toQColor(colours::statusText, QPalette()));
    painter.drawText(area, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
        QFontMetrics(font()).elidedText(m_text, Qt::ElideRight, area.width()));
}
