#include "mutatieindicator.h"

#include "colours.h"

#include <algorithm>

MutatieIndicator::MutatieIndicator(QWidget* parent)
    : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
}

void MutatieIndicator::setNews(ListNews news)
{
    if (news == ListNews::Untold && m_new)
        return;
    const bool nieuw = news == ListNews::New;
    // Every check that finds the file tells it; a style sheet set anew restyles the label.
    if (m_new == nieuw)
        return;
    m_new = nieuw;
    restyle();
}

void MutatieIndicator::setSunlight(bool on, int designWidth)
{
    m_sunlight = on;
    QFont bold(QStringLiteral("Arial"));
    bold.setPointSizeF(10);
    bold.setWeight(QFont::Bold);
    setFont(bold);
    const int wide = QFontMetrics(font()).horizontalAdvance(QStringLiteral("Nieuwe lijst")) + 16;
    resize(on ? std::max(designWidth, wide) : designWidth, height());
    restyle();
}

void MutatieIndicator::restyle()
{
    const bool nieuw = m_new.value_or(false);
    if (m_sunlight) {
        setText(nieuw ? QStringLiteral("Nieuwe lijst") : QString());
        const QColor back
            = colours::toQColor(nieuw ? colours::sunlight::indicatorNew : colours::sunlight::page, palette());
        const QColor text = colours::toQColor(colours::sunlight::text, palette());
        setStyleSheet(QStringLiteral("QLabel { background-color: %1; color: %2; border: 2px solid black; }")
                          .arg(back.name(), text.name()));
        return;
    }
    setText(QString());
    const QColor back = colours::toQColor(nieuw ? colours::green : colours::white, palette());
    const QColor text = colours::toQColor(colours::systemWindowText, palette());
    setStyleSheet(QStringLiteral("QLabel { background-color: %1; color: %2; border: 1px solid black; }")
                      .arg(back.name(), text.name()));
}
