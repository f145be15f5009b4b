#include "grid/widgets/GridColours.h"

namespace brisden::grid {

QPalette::ColorRole SystemColourRole(int index)
{
    switch (index) {
        case 0:   // scroll bar
        case 15:  // button face
            return QPalette::Button;
        case 1:   // desktop
        case 4:   // menu bar
        case 12:  // application workspace
        case 3:   // inactive caption
        case 11:  // inactive border
            return QPalette::Window;
        case 2:   // active caption
        case 13:  // highlight
            return QPalette::Highlight;
        case 5:  // window background
            return QPalette::Base;
        case 6:   // window frame
        case 10:  // active border
        case 21:  // 3-D dark shadow
            return QPalette::Shadow;
        case 7:  // menu text
            return QPalette::WindowText;
        case 8:  // window text
            return QPalette::Text;
        case 9:   // caption text
        case 14:  // highlighted text
            return QPalette::HighlightedText;
        case 16:  // button shadow
            return QPalette::Dark;
        case 17:  // grey text
            return QPalette::PlaceholderText;
        case 18:  // button text
        case 19:  // inactive caption text
            return QPalette::ButtonText;
        case 20:  // button highlight
            return QPalette::Light;
        case 22:  // 3-D light
            return QPalette::Midlight;
        case 23:  // tooltip text
            return QPalette::ToolTipText;
        case 24:  // tooltip background
            return QPalette::ToolTipBase;
        default:
            return QPalette::Window;
    }
}

QColor ToQColor(Settings::Colour colour, const QPalette& palette)
{
    if (colour & 0x80000000u)
        return palette.color(QPalette::Active, SystemColourRole(int(colour & 0xFFu)));
    return QColor(int(colour & 0xFFu), int((colour >> 8) & 0xFFu), int((colour >> 16) & 0xFFu));
}

}  // namespace brisden::grid
