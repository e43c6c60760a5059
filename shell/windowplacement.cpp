#include "windowplacement.h"

#include "gridlayout.h"
#include "windowsettings.h"

#include <QGuiApplication>
#include <QLayout>
#include <QMargins>
#include <QScreen>
#include <QWidget>

namespace windowplacement {

void centreOnScreen(QWidget& window)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize frameExtra = window.frameGeometry().size() - window.size();
        const QRect frame
            = gridlayout::startFrame(window.size(), frameExtra, window.minimumSize(), screen->availableGeometry());
        // On a small screen the window shrinks to fit; the resize handler lays it out again.
        window.resize(frame.size() - frameExtra);
        window.move(frame.topLeft());
    }
}

void placeOnScreen(QWidget& window, const std::optional<QRect>& saved)
{
    // A maximised window has its place; moving it would take it out of that state.
    if (window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    if (saved) {
        // The window's minimum size as its layout has it now, not as it was while the client area was fixed at its
        // design size: a window the official made smaller than that comes back as small.
        if (window.layout())
            window.layout()->activate();
        QList<QRect> areas;
        for (const QScreen* screen : QGuiApplication::screens())
            areas << screen->availableGeometry();
        const QRect outer = window.frameGeometry();
        const QRect inner = window.geometry();
        const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom());
        if (const std::optional<QRect> placed
            = gridlayout::restoredGeometry(*saved, frame, window.minimumSize(), areas)) {
            window.setGeometry(*placed);
            return;
        }
    }
    centreOnScreen(window);
}

void keep(const QWidget& window)
{
    const bool maximised = window.windowState() & Qt::WindowMaximized;
    const QRect normal = window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)
        ? window.normalGeometry()
        : window.geometry();
    if (normal.isValid())
        saveWindowPlacement(normal, maximised);
}

} // namespace windowplacement
