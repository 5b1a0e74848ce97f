#pragma once

#include <QAbstractListModel>

#include <vector>

class SpellSession;

// The rows of the spell list, as the session's last filter run left them:
// the only way from the list to the records. Each row answers the roles the
// drawing needs; the model follows the session's signals.
class SpellListModel final : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        SlotRole = Qt::UserRole + 1, // the row's spell slot (int)
        LevelCodeRole,               // "C", "1".."10", "D", "S", "I" or the number
        KindColourRole,              // the colour slot of the name (int)
        MarkedRole,                  // bool
        ReversibleRole,              // bool
        InBookRole,                  // in the shown book (bool)
        CopiesRole,                  // copies in the shown book (int)
    };

    explicit SpellListModel(const SpellSession& session, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The book whose membership and copies the rows show (-1: none).
    void setBook(int book);
    int book() const { return book_; }

    // The slot of a row's spell; -1 for a row that does not exist.
    int slotAt(int row) const;
    const std::vector<int>& rowSlots() const;

private:
    void spellChanged(int slot);
    void allRowsChanged();

    const SpellSession& session_;
    int book_ = -1;
};
