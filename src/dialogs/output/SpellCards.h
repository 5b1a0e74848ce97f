#pragma once

#include <QColor>
#include <QLineF>
#include <QRectF>
#include <QString>
#include <QTransform>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace spelldata {
class SpellRecord;
}

// Spell cards of poker size, three by three to a page, with thin light cut
// lines between them. Laying out and painting are separate steps, so that
// what goes on each card can be checked without printing it.

inline constexpr double CardWidthMm = 63.5;
inline constexpr double CardHeightMm = 88.9;
inline constexpr int CardColumns = 3;
inline constexpr int CardRows = 3;
inline constexpr int CardsPerPage = CardColumns * CardRows;
inline constexpr double LargestCardTextPt = 8.0; // the text below the name band
inline constexpr double SmallestCardTextPt = 6.0;

// One piece of text on a card, in sheet units (see CardSheet).
struct CardPiece {
    QString text;
    QRectF rect; // left edge, line top, advance width and line height
    double baseline = 0;
    double pointSize = 0;
    int style = 0; // 0 regular, 1 bold, 2 italic, 3 bold and italic
    QColor colour;
};

struct SpellCard {
    const spelldata::SpellRecord* record = nullptr;
    int page = 1; // counted from 1
    QRectF rect;  // the card between its cut lines
    QRectF band;  // the name band, tinted with the kind's colour
    QRectF icon;  // the kind's picture in the band
    QString iconResource;
    QColor kindColour;
    bool continued = false; // a following card of a spell too long for one
    double textPointSize = LargestCardTextPt;
    std::vector<QLineF> rules; // thin rules between the parts of the text
    std::vector<CardPiece> pieces;
};

// Sheet units are device units of the page at full card size, with the top
// left of the card grid at the origin. `toPage` places the grid on the
// page's printable area: centred on the paper where it fits, and scaled down
// evenly only where the printable area is too small for it.
struct CardSheet {
    std::vector<SpellCard> cards;
    int pageCount = 0;
    QRectF grid; // the three by three grid, in sheet units
    QTransform toPage;
};

// The cards of `records`, in their order, laid out for `device`'s page. A
// spell whose text does not fit one card at the largest size is set smaller,
// down to the smallest size, and then goes on over following cards marked
// "(continued)". Lines break at spaces; only a word wider than the card is
// split, with a hyphen.
CardSheet LayoutCards(const std::vector<const spelldata::SpellRecord*>& records,
                      QPagedPaintDevice& device);

// Paints the laid-out sheet on `painter`, which is active on `device`; every
// page after the first is started with device.newPage().
void PaintCards(QPainter& painter, QPagedPaintDevice& device, const CardSheet& sheet);
