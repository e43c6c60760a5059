#include "touchtargets.h"

#include <QInputDevice>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace touchtargets {

bool hasTouchScreen()
{
    const QList<const QInputDevice*> devices = QInputDevice::devices();
    return std::any_of(devices.cbegin(), devices.cend(),
        [](const QInputDevice* device) { return device->type() == QInputDevice::DeviceType::TouchScreen; });
}

int minimumPixels(const QScreen* screen)
{
    double dpi = 96.0;
    if (screen) {
        // A virtual or misreporting screen gives a physical size that makes no sense: then its logical dpi.
        const double physical = screen->physicalDotsPerInch();
        dpi = physical >= 60.0 && physical <= 600.0 ? physical : screen->logicalDotsPerInch();
    }
    return int(std::ceil(minimumMillimetres / 25.4 * dpi));
}

bool enlarge(const QList<QWidget*>& widgets, const QScreen* screen, bool force)
{
    if (!force && !hasTouchScreen())
        return false;
    const int pixels = minimumPixels(screen);
    for (QWidget* widget : widgets) {
        if (!widget)
            continue;
        widget->setMinimumSize(std::max(widget->minimumWidth(), pixels), std::max(widget->minimumHeight(), pixels));
    }
    return true;
}

} // namespace touchtargets
