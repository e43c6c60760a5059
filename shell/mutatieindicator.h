#pragma once

#include "liststate.h"

#include <QLabel>
#include <optional>

// The change indicator lblMutatie in the window's strip: white, or green while the office's list last read is
// one that replaced the ring's. In the sunlight the colour is not enough: it says "Nieuwe lijst" in words,
// black on its colours, and widens for them leftwards from its place at the strip's right edge.
class MutatieIndicator : public QLabel
{
public:
    explicit MutatieIndicator(QWidget* parent);

    // A check that did not find the file (Untold) leaves the indicator as it was.
    void setNews(ListNews news);
    // `designWidth` is its width outside the sunlight.
    void setSunlight(bool on, int designWidth);

private:
    void restyle();

    bool m_sunlight = false;
    // Whether it shows a new list, so a check that tells the same does not restyle it.
    std::optional<bool> m_new;
};
