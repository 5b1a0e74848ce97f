#pragma once

#include <QComboBox>
#include <QString>

// A combo box that carries the history settings its owners give it. It keeps
// no history of its own: the list holds whatever the owner puts into it, and
// text typed into an editable box is not added to it. While `Sorted` is set
// the entries stay in ascending order, letter case ignored, however they were
// added or renamed.
class THistoryComboBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(QString Key READ Key WRITE setKey)
    Q_PROPERTY(int MaxHistoryLength READ MaxHistoryLength WRITE setMaxHistoryLength)
    Q_PROPERTY(bool Sorted READ Sorted WRITE setSorted)

public:
    explicit THistoryComboBox(QWidget* parent = nullptr);

    QString Key() const { return key_; }
    void setKey(const QString& key) { key_ = key; }
    int MaxHistoryLength() const { return maxHistoryLength_; }
    void setMaxHistoryLength(int length) { maxHistoryLength_ = length; }
    bool Sorted() const { return sorted_; }
    // Turning sorting on orders the entries already in the list.
    void setSorted(bool sorted);

private:
    void rowsAdded(int first, int last);
    void placeEntry(int row);
    void textsChanged(int first, int last, const QList<int>& roles);
    void setSortKeys(int first, int last);
    void sortEntries();

    QString key_;
    int maxHistoryLength_ = 7;
    bool sorted_ = false;
    bool placing_ = false; // moving an entry: its removal and insertion are no news
};
