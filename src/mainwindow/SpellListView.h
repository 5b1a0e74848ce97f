#pragma once

#include <QElapsedTimer>
#include <QListView>

// The spell list (SList): single selection, fixed row height, rows drawn by
// the delegate. Reports presses with their x position and button, so that the
// main window can act on the column that was pressed.
class SpellListView final : public QListView {
    Q_OBJECT

public:
    explicit SpellListView(QWidget* parent = nullptr);

    // The selected row, or -1.
    int selectedRow() const;
    void selectRow(int row);

    // NameArea: whether the latest press on the list was in the name column
    // (true at start). Only a double-click reads it.
    bool nameArea() const { return nameArea_; }
    void setNameArea(bool inName) { nameArea_ = inName; }

signals:
    // Every press on a row, after a left press has selected it. Presses
    // that hit no row are not reported.
    void pressed(Qt::MouseButton button, int x);
    // A left press on the row that was already selected: the selection did
    // not change, yet the user chose that row again.
    void selectedRowClicked();
    // A double-click on a row.
    void doubleClicked();
    // Keys on the selected row: Space toggles its mark, Enter opens it as a
    // double-click on its name does, Delete deletes it. While a name is being
    // typed to find it, Space and the other printable keys go on with it.
    void markKey();
    void openKey();
    void deleteKey();
    // '*' puts the spell into the chosen book or takes it out; '+' and '-'
    // change its copies there, as presses in those columns do.
    void bookKey();
    void copiesKey(bool add);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool hitsRow(const QMouseEvent* event) const;
    bool typingAhead() const;

    QElapsedTimer typed_; // the latest key of a type-ahead search
    bool nameArea_ = true;
};
