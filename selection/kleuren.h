#pragma once

#include "colourtable.h"

#include <QtGlobal>

// codeKleuren: picks a readable text colour for a background colour. The colour is taken as the signed
// 32-bit value the office programs store, so a system colour (&H800000nn&) comes out negative and always
// gets dark text.
namespace codeKleuren {

// Light text on a dark background (brightness 0 to 127), dark text on everything else.
quint32 ContrastKleur(quint32 colour);

} // namespace codeKleuren
