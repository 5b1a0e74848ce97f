#include "SpellListView.h"

#include "SpellListDelegate.h"

#include <QKeyEvent>
#include <QMouseEvent>

SpellListView::SpellListView(QWidget* parent) : QListView(parent) {
    setObjectName(QStringLiteral("SList"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setLayoutMode(QListView::SinglePass);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
}

int SpellListView::selectedRow() const {
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !selectionModel() || !selectionModel()->isSelected(current))
        return -1;
    return current.row();
}

void SpellListView::selectRow(int row) {
    if (!model() || row < 0 || row >= model()->rowCount())
        return;
    const QModelIndex index = model()->index(row, 0);
    setCurrentIndex(index);
    scrollTo(index);
}

void SpellListView::mousePressEvent(QMouseEvent* event) {
    // Only the left button moves the selection; the others act on the row
    // that was already selected.
    if (event->button() == Qt::LeftButton)
        QListView::mousePressEvent(event);
    emit pressed(event->button(), event->position().toPoint().x());
}

void SpellListView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double-click counts as a press too.
    emit pressed(event->button(), event->position().toPoint().x());
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        emit doubleClicked();
}

void SpellListView::keyPressEvent(QKeyEvent* event) {
    // Shift is allowed: '+' and '*' need it on many keyboards.
    if (event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) {
        QListView::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Space:
        emit markKey();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit openKey();
        break;
    case Qt::Key_Delete:
        emit deleteKey();
        break;
    case Qt::Key_Asterisk:
        emit bookKey();
        break;
    case Qt::Key_Plus:
        emit copiesKey(true);
        break;
    case Qt::Key_Minus:
        emit copiesKey(false);
        break;
    default:
        QListView::keyPressEvent(event); // arrows, pages, Home, End, type-to-find
    }
}
