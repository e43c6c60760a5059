#pragma once

#include <QtGlobal>

class QWidget;

// Whole-window transparency for the splash's fade-in: alpha 0 is invisible, 255 fully opaque. At 255
// the window is an ordinary opaque window again (Qt drops the layered style on Windows at opacity 1).
// A null window, or a platform without per-window opacity, simply shows the window without the fade.
void Transparency_SetAlpha(QWidget* window, quint8 alpha);
