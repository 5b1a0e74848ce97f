#include "mainwindow/SpellListDelegate.h"

#include "controls/DisplaySettings.h"
#include "controls/GuiText.h"
#include "mainwindow/Glyphs.h"
#include "mainwindow/SpellListModel.h"

#include <QPainter>

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

int kindSlot(spelldata::SpellKind kind) {
    return 15 + static_cast<int>(kind);
}

} // namespace

SpellListDelegate::SpellListDelegate(const spelldata::SpellCollection& spells, QObject* parent)
    : QStyledItemDelegate(parent), spells_(spells) {}

QString SpellListDelegate::levelCode(spelldata::SpellLevel level) {
    const std::string letter = spelldata::LevelLetter(level);
    return letter.empty() ? QString::number(level) : QString::fromStdString(letter);
}

QSize SpellListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return {option.rect.width(), RowHeight};
}

void SpellListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    const int slot = index.data(SpellListModel::SlotRole).toInt();
    if (!index.isValid() || slot < 0 || slot >= spells_.Count())
        return;
    painter->save();
    paintRow(*painter, option.rect, spells_[slot], option.state & QStyle::State_Selected);
    painter->restore();
}

void SpellListDelegate::paintRow(QPainter& p, const QRect& r, const spelldata::SpellRecord& spell,
                                 bool selected) const {
    const DisplaySettings& display = CurrentDisplay();
    const QColor background = display.colour(21);
    p.setPen(background);
    p.setBrush(selected ? kAqua : background);
    p.drawRect(r.adjusted(0, 0, -1, -1));

    const int x = r.left(), top = r.top(), h = r.height();
    p.setFont(listFont(8, false, spell->Reversible));
    p.setPen(display.colour(kindSlot(spell.kind())));
    p.drawText(QRect(x + 75, top, qMax(0, r.width() - 75), h), Qt::AlignLeft | Qt::AlignTop,
               FromBytes(spell->Name));

    p.setFont(listFont(8, true, false));
    p.setPen(display.colour(20));
    const QString code = levelCode(spell->Level);
    const int w = p.fontMetrics().horizontalAdvance(code);
    p.drawText(QPoint(x + 55 + (19 - w) / 2, top + p.fontMetrics().ascent()), code);

    if (spell->Marked)
        DrawCheckMark(p, QRectF(x + 3, top + 2, 12, 12), kNavy);
    if (book_ >= 0 && book_ < spelldata::MaxBooks && spell->BookSet.test(book_)) {
        DrawBookSign(p, QRectF(x + 18, top + 1, 18, 14), kNavy);
        p.setFont(listFont(7, true, false));
        p.setPen(kNavy);
        p.drawText(QRect(x + 37, top, 19, h), Qt::AlignLeft | Qt::AlignTop,
                   QString::number(spell->BookCounts[static_cast<std::size_t>(book_)]));
    }
    p.setPen(Qt::black);
    for (const int divider : {16, 56, 72})
        p.drawLine(x + divider, top, x + divider, r.bottom());
}
