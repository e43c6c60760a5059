#pragma once

#include "stationstatus.h"

#include <QString>
#include <QWidget>

// The main window's status line: what the station tells the official of its work with the office, in
// words, behind a shape that says at a glance how things stand (a ring: waiting; a tick: taken in; a
// triangle with "!": look; nothing when all is quiet) on a back colour to match. Neither the colour nor the
// shape is ever the only sign: the words say it all. Text that does not fit ends in "…" and shows whole in
// the tooltip.
class StatusLine : public QWidget
{
    Q_OBJECT

public:
    explicit StatusLine(QWidget* parent = nullptr);

    void setStatus(const QString& text, StatusTone tone);
    QString text() const { return m_text; }
    StatusTone tone() const { return m_tone; }
    // The sunlight mode: a dark frame around the line (its words are always black on a pale colour).
    void setSunlight(bool sunlight);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect textArea() const;
    int markSize() const;
    void updateToolTip();

    QString m_text;
    StatusTone m_tone = StatusTone::Quiet;
    bool m_sunlight = false;
};
