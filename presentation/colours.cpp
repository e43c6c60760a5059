#include "colours.h"

namespace colours {

QColor toQColor(quint32 raw, const QPalette& palette)
{
    if (raw & 0x80000000u) {
        switch (raw & 0xFF) {
        case 5:
            return palette.color(QPalette::Base);
        case 8:
            return palette.color(QPalette::Text);
        case 15:
            return palette.color(QPalette::Button);
        case 18:
            return palette.color(QPalette::ButtonText);
        case 13:
            return palette.color(QPalette::Highlight);
        case 14:
            return palette.color(QPalette::HighlightedText);
        default:
            return palette.color(QPalette::Window);
        }
    }
    return QColor(int(raw & 0xFF), int((raw >> 8) & 0xFF), int((raw >> 16) & 0xFF));
}

} // namespace colours
