#include "controls/THistoryComboBox.h"

#include <QStandardItemModel>

#include <algorithm>
#include <ranges>

namespace {

// The model sorts on this role, which holds the case-folded text, so that
// its plain code-point comparison ignores letter case.
constexpr int SortKeyRole = Qt::UserRole + 0x51;

QStandardItemModel* ItemModel(const QComboBox* box) {
    return qobject_cast<QStandardItemModel*>(box->model());
}

} // namespace

THistoryComboBox::THistoryComboBox(QWidget* parent) : QComboBox(parent) {
    setInsertPolicy(QComboBox::NoInsert);
    QStandardItemModel* items = ItemModel(this); // the box's own model, made by QComboBox
    items->setSortRole(SortKeyRole);
    // Connected after the combo box's own handlers, so it has settled its
    // current item before the rows move.
    connect(items, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { rowsAdded(first, last); });
    connect(
        items, &QAbstractItemModel::dataChanged, this,
        [this](const QModelIndex& topLeft, const QModelIndex& bottomRight,
               const QList<int>& roles) { textsChanged(topLeft.row(), bottomRight.row(), roles); });
}

void THistoryComboBox::setSorted(bool sorted) {
    sorted_ = sorted;
    if (sorted_ && count() > 0) {
        setSortKeys(0, count() - 1);
        sortEntries();
    }
}

// One entry added to a sorted list is moved to its place, found by halving;
// only a batch is sorted as a whole. A list filled one entry at a time thus
// costs N log N comparisons, not a sort per entry.
void THistoryComboBox::rowsAdded(int first, int last) {
    if (!sorted_ || placing_)
        return;
    setSortKeys(first, last);
    if (first == last)
        placeEntry(first);
    else
        sortEntries();
}

// The entries other than the one at `row` are in order. Among equal keys the
// entry keeps its side of the others, as the stable sort would leave it.
void THistoryComboBox::placeEntry(int row) {
    QStandardItemModel* items = ItemModel(this);
    if (!items || items->rowCount() < 2)
        return;
    const int column = modelColumn();
    const auto keyAt = [&](int position) { // position among the other entries
        const int at = position < row ? position : position + 1;
        return items->item(at, column)->data(SortKeyRole).toString();
    };
    const QString key = items->item(row, column)->data(SortKeyRole).toString();
    const auto positions = std::views::iota(0, items->rowCount() - 1);
    const auto lower = std::ranges::lower_bound(positions, key, {}, keyAt);
    const auto upper = std::ranges::upper_bound(positions, key, {}, keyAt);
    const int place = std::clamp(row, static_cast<int>(lower - positions.begin()),
                                 static_cast<int>(upper - positions.begin()));
    if (place == row)
        return;
    placing_ = true;
    items->insertRow(place, items->takeRow(row));
    placing_ = false;
}

void THistoryComboBox::textsChanged(int first, int last, const QList<int>& roles) {
    if (!sorted_)
        return;
    const bool textChanged =
        roles.isEmpty() || roles.contains(Qt::DisplayRole) || roles.contains(Qt::EditRole);
    if (!textChanged)
        return;
    setSortKeys(first, last);
    sortEntries();
}

void THistoryComboBox::setSortKeys(int first, int last) {
    QStandardItemModel* items = ItemModel(this);
    if (!items)
        return;
    const QSignalBlocker quiet(items); // keys are private; nobody needs to hear of them
    for (int row = first; row <= last; ++row) {
        if (QStandardItem* item = items->item(row, modelColumn()))
            item->setData(item->text().toCaseFolded(), SortKeyRole);
    }
}

void THistoryComboBox::sortEntries() {
    // A stable sort: entries equal but for case keep their relative order.
    if (QStandardItemModel* items = ItemModel(this))
        items->sort(modelColumn(), Qt::AscendingOrder);
}
