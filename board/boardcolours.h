#pragma once

#include <QColor>
#include <QList>
#include <QString>

// The rider board's colours, chosen to be read from ten metres in a bright hall: light text on a black
// ground, every text against what lies behind it at a contrast ratio of 7:1 or more (the WCAG's highest
// level), also the greyed board of a list that is not up to date. The list names each text and its ground,
// so a test can hold every pair to that ratio.
namespace boardcolours {

inline const QColor ground { 0x0b, 0x0b, 0x0b };
inline const QColor text { 0xff, 0xff, 0xff };
// The captions ("In de ring", ...) and the planned times.
inline const QColor caption { 0xff, 0xd5, 0x4f };
// The band behind the starter in the ring.
inline const QColor ringBack { 0x0b, 0x3d, 0x1e };
// A pause band.
inline const QColor pauseBack { 0x1e, 0x3a, 0x5f };
// A starter marked not started, struck through.
inline const QColor struck { 0xb0, 0xb0, 0xb0 };
// Every text of a board that is not up to date; its bands are then drawn as frames on the ground.
inline const QColor stale { 0xa0, 0xa0, 0xa0 };
// The notice "niet bijgewerkt sinds ...": black on amber.
inline const QColor noticeText { 0x00, 0x00, 0x00 };
inline const QColor noticeBack { 0xff, 0xc1, 0x07 };

struct Pair
{
    QString what;
    QColor fore;
    QColor back;
};

// Every text the board draws, with the ground it is drawn on.
QList<Pair> pairs();

// The contrast ratio of two colours, (L1 + 0.05) / (L2 + 0.05) with L their relative luminance (sRGB).
double contrastRatio(const QColor& a, const QColor& b);

} // namespace boardcolours
