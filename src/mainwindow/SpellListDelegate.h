#pragma once

#include "spelldata/SpellCollection.h"

#include <QStyledItemDelegate>

// Draws one row of the spell list: mark, book sign and copies of the chosen
// book, the level code and the name in its kind's colour.
class SpellListDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    static constexpr int RowHeight = 17;

    explicit SpellListDelegate(const spelldata::SpellCollection& spells, QObject* parent = nullptr);

    // The book whose membership and copies the rows show (-1: none).
    void setBook(int book) { book_ = book; }
    int book() const { return book_; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The level code shown in the list: "C", "1".."10", "D", "S", "I", or the number.
    static QString levelCode(spelldata::SpellLevel level);

private:
    void paintRow(QPainter& p, const QRect& r, const spelldata::SpellRecord& spell,
                  bool selected) const;

    const spelldata::SpellCollection& spells_;
    int book_ = -1;
};
