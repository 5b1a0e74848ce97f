#pragma once

#include "spelldata/Settings.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

// The display settings in force: the 21 colour slots and the fonts. One set
// for the whole program; the settings files fill it at start-up and the
// configuration dialog changes it.
struct DisplaySettings {
    spelldata::ColourSlots colours;
    QString ListFontName = QStringLiteral("Times New Roman");
    QString DescFontName = QStringLiteral("Times New Roman");
    int DescFontSize = 0; // 0: the platform's default size

    // The colour of a slot (1..21); system colours follow the desktop palette.
    QColor colour(int slot) const;
    // The description font (name and size) for the quick info windows.
    QFont descriptionFont() const;
};

DisplaySettings& CurrentDisplay();

// A stored colour value as a colour: RGB is 0x00BBGGRR; values with the top
// bit set name a system colour, taken from `palette`.
QColor ColourFromValue(spelldata::ColourValue value, const QPalette& palette);
// A colour as a stored RGB value (0x00BBGGRR).
spelldata::ColourValue ValueFromColour(const QColor& colour);
