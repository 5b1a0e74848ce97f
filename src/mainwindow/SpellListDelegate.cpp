#include "mainwindow/SpellListDelegate.h"

#include "controls/DisplaySettings.h"
#include "mainwindow/Glyphs.h"
#include "mainwindow/ListColumns.h"
#include "mainwindow/SpellListModel.h"

#include <QPainter>

using namespace ListColumns;
namespace ColourSlot = spelldata::ColourSlot;

namespace {

const QColor kAqua(0, 255, 255);
const QColor kNavy(0, 0, 128);

QFont listFont(int points, bool bold, bool italic) {
    QFont font(CurrentDisplay().ListFontName);
    font.setPointSize(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

} // namespace

QSize SpellListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return {option.rect.width(), RowHeight};
}

void SpellListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    if (!index.data(SpellListModel::SlotRole).isValid()) // a row whose spell is gone
        return;
    QPainter& p = *painter;
    p.save();
    const DisplaySettings& display = CurrentDisplay();
    const QRect& r = option.rect;
    const QColor background = display.colour(ColourSlot::ListBackground);
    p.setPen(background);
    p.setBrush(option.state & QStyle::State_Selected ? kAqua : background);
    p.drawRect(r.adjusted(0, 0, -1, -1));

    const int x = r.left(), top = r.top(), h = r.height();
    p.setFont(listFont(8, false, index.data(SpellListModel::ReversibleRole).toBool()));
    p.setPen(display.colour(index.data(SpellListModel::KindColourRole).toInt()));
    p.drawText(QRect(x + Name, top, qMax(0, r.width() - Name), h), Qt::AlignLeft | Qt::AlignTop,
               index.data(Qt::DisplayRole).toString());

    p.setFont(listFont(8, true, false));
    p.setPen(display.colour(ColourSlot::ListLevel));
    const QString code = index.data(SpellListModel::LevelCodeRole).toString();
    const int w = p.fontMetrics().horizontalAdvance(code);
    p.drawText(QPoint(x + LevelCodeLeft + (LevelCodeWidth - w) / 2, top + p.fontMetrics().ascent()),
               code);

    if (index.data(SpellListModel::MarkedRole).toBool())
        DrawCheckMark(p, QRectF(x + Mark + 3, top + 2, 12, 12), kNavy);
    if (index.data(SpellListModel::InBookRole).toBool()) {
        DrawBookSign(p, QRectF(x + Book, top + 1, Copies - Book - 1, 14), kNavy);
        p.setFont(listFont(7, true, false));
        p.setPen(kNavy);
        p.drawText(QRect(x + Copies, top, Level - Copies, h), Qt::AlignLeft | Qt::AlignTop,
                   QString::number(index.data(SpellListModel::CopiesRole).toInt()));
    }
    p.setPen(Qt::black);
    for (const int divider : Dividers)
        p.drawLine(x + divider, top, x + divider, r.bottom());
    p.restore();
}
