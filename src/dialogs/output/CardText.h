#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <cstddef>
#include <limits>
#include <vector>

class QPaintDevice;

// The card text's font of a style (0 regular, 1 bold, 2 italic, 3 both).
QFont CardFont(int style, double pointSize);

// The four styles of one size, measured on one device.
class CardFonts {
public:
    CardFonts(double pointSize, QPaintDevice* device);

    double pointSize() const { return pointSize_; }
    const QFontMetricsF& metrics(int style) const;
    // One height and baseline for every style, so mixed lines stay level.
    double lineHeight() const { return lineHeight_; }
    double ascent() const { return ascent_; }

private:
    double pointSize_;
    std::vector<QFontMetricsF> metrics_;
    double lineHeight_ = 0;
    double ascent_ = 0;
};

struct TextRun {
    QString text;
    int style = 0;
};

// Text of one style on one line, `x` from the line's left edge.
struct CardSegment {
    QString text;
    int style = 0;
    double x = 0;
    double width = 0;
};

struct CardLine {
    std::vector<CardSegment> segments;
    double gapBefore = 0;    // extra room above the line, dropped at the top of a card
    bool ruleBefore = false; // a thin rule in that room
};

// Breaks a paragraph of runs into lines no wider than `width`. Lines break
// at spaces; a word wider than a whole line is split with a hyphen. With
// `maxLines`, the text stops after that many lines and `truncated` (when
// given) tells whether some was left over.
std::vector<CardLine> BreakLines(const std::vector<TextRun>& runs, double width,
                                 const CardFonts& fonts,
                                 std::size_t maxLines = std::numeric_limits<std::size_t>::max(),
                                 bool* truncated = nullptr);
