#pragma once

#include <QComboBox>

class QPainter;

// A combo box listing the installed font families in sorted order. List
// items of scalable outline fonts (this platform's TrueType) carry a small
// glyph of two "T" shapes before the name; the closed box shows the name alone.
// The owner reads the chosen family as currentText().
class TFontComboBox : public QComboBox {
    Q_OBJECT

public:
    static constexpr int ItemHeight = 16;
    static constexpr int TextIndent = 16; // list text starts here; the glyph sits before it
    static constexpr int GlyphSize = 12;

    explicit TFontComboBox(QWidget* parent = nullptr);

    // Fills the list anew with the installed families, so fonts installed
    // since the last fill appear, and selects the first item.
    void ReloadFonts();
    // Whether item `index` names a scalable outline font; false for bitmap
    // fonts, unknown names and indexes outside the list.
    bool IsTrueType(int index) const;
};

// Paints the glyph of scalable fonts, a grey "T" with a black "T" over it,
// into the 12 x 12 square whose top left corner is `origin`. Drawn as
// whole logical pixels, so it stays sharp at any integer device pixel ratio.
void DrawTrueTypeGlyph(QPainter& painter, QPoint origin);
