#include "mainwindow/SpellListView.h"

#include <QApplication>
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

bool SpellListView::hitsRow(const QMouseEvent* event) const {
    return indexAt(event->position().toPoint()).isValid();
}

void SpellListView::mousePressEvent(QMouseEvent* event) {
    // A press below the last row neither selects nor acts.
    if (!hitsRow(event)) {
        event->accept();
        return;
    }
    // Only the left button moves the selection; the others act on the row
    // that was already selected.
    if (event->button() == Qt::LeftButton) {
        const int before = selectedRow();
        QListView::mousePressEvent(event);
        if (before >= 0 && selectedRow() == before)
            emit selectedRowClicked();
    }
    emit pressed(event->button(), event->position().toPoint().x());
}

void SpellListView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!hitsRow(event)) {
        event->accept();
        return;
    }
    // The second press of a double-click counts as a press too.
    emit pressed(event->button(), event->position().toPoint().x());
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

bool SpellListView::typingAhead() const {
    return typed_.isValid() && typed_.elapsed() < QApplication::keyboardInputInterval();
}

void SpellListView::keyPressEvent(QKeyEvent* event) {
    // Shift is allowed: '+' and '*' need it on many keyboards.
    if (event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) {
        QListView::keyPressEvent(event);
        return;
    }
    const QString text = event->text();
    const bool printable = !text.isEmpty() && text.front().isPrint();
    if (printable && typingAhead()) {
        keyboardSearch(text);
        typed_.restart();
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
        if (printable)
            typed_.start();
    }
}
