#pragma once

#include <QStyledItemDelegate>

// Draws one row of the spell list from the model's roles: mark, book sign and
// copies of the shown book, the level code and the name in its kind's colour.
class SpellListDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
