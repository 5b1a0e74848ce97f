#pragma once

#include "spelldata/SpellCollection.h"

#include <QAbstractListModel>
#include <vector>

// The rows of the spell list: each row holds the slot of the spell it shows
// (the row tag's Index). The rows are rebuilt whole by a filter run; a deleted
// spell removes one row.
class SpellListModel final : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role { SlotRole = Qt::UserRole + 1 };

    explicit SpellListModel(const spelldata::SpellCollection& spells, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Replaces every row at once (the view repaints once, not per row).
    void setRows(std::vector<int> rowSlots);
    void clear();
    // The slot of a row's spell; -1 for a row that does not exist.
    int slotAt(int row) const;
    // Removes one row.
    void removeListRow(int row);
    // Rows that showed slot `from` show slot `to` (after a record moved).
    void renumber(int from, int to);
    // Repaints the row.
    void refreshRow(int row);
    // Repaints every row.
    void refreshAll();
    const std::vector<int>& rowSlots() const { return rows_; }

private:
    const spelldata::SpellCollection& spells_;
    std::vector<int> rows_;
};
