#pragma once

#include "colourtable.h"

#include <QtGlobal>

// codeKleuren: picks a readable text colour for a background colour. The colour is taken as the signed
// 32-bit value the office programs store, so a system colour (&H800000nn&) comes out negative and always
// gets dark text.
//
// Beside it, the measure of how readable a text colour is on a background: the contrast ratio of the web's
// accessibility guidelines (WCAG 2), from 1:1 (the same luminance) to 21:1 (black on white), over plain
// &H00BBGGRR& colours (a system colour has no value of its own until the palette gives it one).
namespace codeKleuren {

// Light text on a dark background (brightness 0 to 127), dark text on everything else.
quint32 ContrastKleur(quint32 colour);

// The relative luminance of a plain colour, 0 (black) to 1 (white): the sRGB components made linear and
// weighed by how bright the eye sees them.
double relativeLuminance(quint32 colour);
// The contrast ratio of two plain colours, the lighter one's luminance over the darker one's, both plus
// 0.05 for the flare of a screen: 1 to 21, the same whichever is given first.
double contrastRatio(quint32 first, quint32 second);
// A colour seen through a veil of another colour at an opacity of 0 (none) to 255 (the veil only).
quint32 throughVeil(quint32 colour, quint32 veil, int alpha);

} // namespace codeKleuren
