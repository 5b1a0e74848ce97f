#include "mainwindow/SpellListModel.h"

#include "controls/GuiText.h"

SpellListModel::SpellListModel(const spelldata::SpellCollection& spells, QObject* parent)
    : QAbstractListModel(parent), spells_(spells) {}

int SpellListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant SpellListModel::data(const QModelIndex& index, int role) const {
    const int slot = slotAt(index.row());
    if (slot < 0 || slot >= spells_.Count())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return FromBytes(spells_[slot]->Name);
    case SlotRole:
        return slot;
    default:
        return {};
    }
}

void SpellListModel::setRows(std::vector<int> rowSlots) {
    beginResetModel();
    rows_ = std::move(rowSlots);
    endResetModel();
}

void SpellListModel::clear() {
    setRows({});
}

int SpellListModel::slotAt(int row) const {
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        return -1;
    return rows_[static_cast<std::size_t>(row)];
}

void SpellListModel::removeListRow(int row) {
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        return;
    beginRemoveRows(QModelIndex(), row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void SpellListModel::renumber(int from, int to) {
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        if (rows_[row] == from) {
            rows_[row] = to;
            refreshRow(static_cast<int>(row));
        }
    }
}

void SpellListModel::refreshRow(int row) {
    const QModelIndex i = index(row);
    if (i.isValid())
        emit dataChanged(i, i);
}

void SpellListModel::refreshAll() {
    if (!rows_.empty())
        emit dataChanged(index(0), index(static_cast<int>(rows_.size()) - 1));
}
