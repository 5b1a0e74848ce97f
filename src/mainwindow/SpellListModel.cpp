#include "mainwindow/SpellListModel.h"

#include "controls/GuiText.h"
#include "session/SpellSession.h"
#include "spelldata/Settings.h"

using namespace spelldata;

namespace {

int kindColour(SpellKind kind) {
    switch (kind) {
    case SpellKind::Priest:
        return ColourSlot::PriestName;
    case SpellKind::Psionic:
        return ColourSlot::PsionicName;
    default:
        return ColourSlot::WizardName;
    }
}

} // namespace

SpellListModel::SpellListModel(const SpellSession& session, QObject* parent)
    : QAbstractListModel(parent), session_(session) {
    connect(&session, &SpellSession::rowsAboutToReset, this, &SpellListModel::beginResetModel);
    connect(&session, &SpellSession::rowsReset, this, &SpellListModel::endResetModel);
    connect(&session, &SpellSession::rowAboutToBeRemoved, this,
            [this](int row) { beginRemoveRows(QModelIndex(), row, row); });
    connect(&session, &SpellSession::rowRemoved, this, &SpellListModel::endRemoveRows);
    connect(&session, &SpellSession::rowAboutToBeInserted, this,
            [this](int row) { beginInsertRows(QModelIndex(), row, row); });
    connect(&session, &SpellSession::rowInserted, this, &SpellListModel::endInsertRows);
    connect(&session, &SpellSession::spellChanged, this, &SpellListModel::spellChanged);
    connect(&session, &SpellSession::spellsChanged, this, &SpellListModel::allRowsChanged);
}

int SpellListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rowSlots().size());
}

QVariant SpellListModel::data(const QModelIndex& index, int role) const {
    const int slot = slotAt(index.row());
    if (slot < 0 || slot >= session_.spells().Count())
        return {};
    const SpellRecord& spell = session_.spells()[slot];
    const bool inBook = book_ >= 0 && book_ < MaxBooks && spell->BookSet.test(book_);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return FromBytes(spell->Name);
    case SlotRole:
        return slot;
    case LevelCodeRole:
        return QString::fromStdString(LevelCode(spell->Level));
    case KindColourRole:
        return kindColour(spell.kind());
    case MarkedRole:
        return spell->Marked != 0;
    case ReversibleRole:
        return spell->Reversible != 0;
    case InBookRole:
        return inBook;
    case CopiesRole:
        return inBook ? spell->BookCounts[static_cast<std::size_t>(book_)] : 0;
    default:
        return {};
    }
}

void SpellListModel::setBook(int book) {
    book_ = book;
    allRowsChanged();
}

int SpellListModel::slotAt(int row) const {
    return session_.slotOfRow(row);
}

const std::vector<int>& SpellListModel::rowSlots() const {
    return session_.rows();
}

// A slot has at most one row.
void SpellListModel::spellChanged(int slot) {
    const QModelIndex i = index(session_.rowOfSlot(slot));
    if (i.isValid())
        emit dataChanged(i, i);
}

void SpellListModel::allRowsChanged() {
    if (!rowSlots().empty())
        emit dataChanged(index(0), index(rowCount() - 1));
}
