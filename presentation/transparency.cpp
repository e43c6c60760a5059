#include "transparency.h"

#include <QWidget>

void Transparency_SetAlpha(QWidget* window, quint8 alpha)
{
    if (!window)
        return;
    // Exactly 1.0 at 255, not 255/255.0 rounded, so the platform takes the window out of layered mode.
    window->setWindowOpacity(alpha == 255 ? 1.0 : alpha / 255.0);
}
