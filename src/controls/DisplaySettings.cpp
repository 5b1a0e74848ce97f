#include "controls/DisplaySettings.h"

#include <QApplication>

namespace {

// The system colours the stored values may name, by their index.
QColor systemColour(unsigned index, const QPalette& p) {
    switch (index) {
    case 5: // window background
        return p.color(QPalette::Base);
    case 8: // window text
        return p.color(QPalette::Text);
    case 13: // highlight
        return p.color(QPalette::Highlight);
    case 14: // highlighted text
        return p.color(QPalette::HighlightedText);
    case 15: // button face
        return p.color(QPalette::Button);
    case 18: // button text
        return p.color(QPalette::ButtonText);
    case 16: // button shadow
        return p.color(QPalette::Dark);
    case 20: // button highlight
        return p.color(QPalette::Light);
    default:
        return p.color(QPalette::Window);
    }
}

} // namespace

DisplaySettings& CurrentDisplay() {
    static DisplaySettings settings;
    return settings;
}

QColor ColourFromValue(spelldata::ColourValue value, const QPalette& palette) {
    if (value & spelldata::SystemColourFlag)
        return systemColour(value & 0xFFu, palette);
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

spelldata::ColourValue ValueFromColour(const QColor& colour) {
    return static_cast<spelldata::ColourValue>(colour.red()) |
           (static_cast<spelldata::ColourValue>(colour.green()) << 8) |
           (static_cast<spelldata::ColourValue>(colour.blue()) << 16);
}

QColor DisplaySettings::colour(int slot) const {
    return ColourFromValue(colours[slot], QApplication::palette());
}

QFont DisplaySettings::descriptionFont() const {
    QFont font(DescFontName);
    if (DescFontSize > 0)
        font.setPointSize(DescFontSize);
    return font;
}
