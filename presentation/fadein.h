#pragma once

// The splash window's fade-in: each tick raises the alpha level by 5, from −1 (so the first step shows
// 4, after the 0 the window starts at) up to exactly 255, which it reaches on the 52nd tick and never
// passes. It only counts; the window's fade timer applies the level and stops once it is done.
class FadeIn
{
public:
    // Back to the starting level, −1.
    void reset() { m_alphaNiveau = startLevel; }

    // Advances one tick and returns the new level, 4, 9, 14, … 249, 254, 255, then 255 for ever.
    int step();

    int alphaNiveau() const { return m_alphaNiveau; }
    bool done() const { return m_alphaNiveau >= opaque; }

    static constexpr int opaque = 255;

private:
    static constexpr int startLevel = -1;
    static constexpr int increment = 5;

    int m_alphaNiveau = startLevel;
};
