// Undo and redo: the Edit menu, the window title with its modified marker,
// and the window following a step taken back or done again.
#include "mainwindow/TMain.h"

#include "mainwindow/SpellListModel.h"
#include "mainwindow/SpellListView.h"
#include "mainwindow/TListPanel.h"
#include "session/SessionHistory.h"
#include "session/SpellSession.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <QUndoStack>

namespace {

const QString kCaption = QStringLiteral("Quarvine 6.20");
// The slot of the spell a Quick Info window shows, -1 once it is gone.
const char* const kSlot = "spellSlot";

} // namespace

void TMain::createHistory() {
    history_ = new SessionHistory(*session_, this);
    QUndoStack* stack = history_->stack();
    MUndo = stack->createUndoAction(this);
    MUndo->setObjectName(QStringLiteral("MUndo"));
    MUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    MRedo = stack->createRedoAction(this);
    MRedo->setObjectName(QStringLiteral("MRedo"));
    MRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(history_, &SessionHistory::stepped, this, &TMain::afterStep);
    // Quick Info windows follow their spell from slot to slot.
    connect(session_, &SpellSession::spellMoved, this, [this](int from, int to) {
        for (TFInfo* window : infoWindows()) {
            if (window->tag() == 0 && window->property(kSlot).toInt() == from)
                window->setProperty(kSlot, to);
        }
    });
    connect(session_, &SpellSession::spellRemoved, this, [this](int slot) {
        for (TFInfo* window : infoWindows()) {
            if (window->tag() == 0 && window->property(kSlot).toInt() == slot)
                window->setProperty(kSlot, -1);
        }
    });
    connect(history_, &SessionHistory::modifiedChanged, this, &TMain::updateTitle);
}

QMenu* TMain::createEditMenu() {
    auto* edit = new QMenu(QStringLiteral("&Edit"), this);
    edit->setObjectName(QStringLiteral("EditMenu"));
    edit->addActions({MUndo, MRedo});
    return edit;
}

// The file the collection was last opened from, imported for or saved to.
void TMain::setDocument(const QString& path) {
    documentPath_ = path;
    updateTitle();
}

void TMain::updateTitle() {
    if (documentPath_.isEmpty()) {
        setWindowTitle(kCaption);
        return;
    }
    QString title = kCaption + QStringLiteral(" - ") + QFileInfo(documentPath_).fileName();
    if (history_->modified())
        title += QLatin1Char('*');
    setWindowTitle(title);
}

// After an undo or a redo: the rows are in order again with the same spell
// selected (a list a run left empty and hidden is shown with the rows a step
// brought back), the book box keeps the chosen book while it exists, the
// marked-only switch is down only while a spell is marked, the quick view
// shows the selected spell as it now is, and each Quick Info window its own.
void TMain::afterStep() {
    const int selected = selectedSlot();
    if (session_->sortRows() && session_->rowOfSlot(selected) >= 0)
        panel_->SList->selectRow(session_->rowOfSlot(selected));
    if (!session_->rows().empty() && panel_->SList->isHidden()) {
        panel_->SList->selectRow(0);
        panel_->SList->show();
        showQuickView();
    }
    const QString chosen = panel_->CBooks->currentText();
    RebuildBookBox();
    const int kept = panel_->CBooks->findText(chosen);
    if (kept >= 0)
        panel_->CBooks->setCurrentIndex(kept);
    if (chosenBook() < 1)
        panel_->BBooks->setChecked(false);
    if (session_->spells().MarkedCount() == 0)
        panel_->BMark->setChecked(false);
    ShowCounters();
    SListClick();
    for (TFInfo* window : infoWindows()) {
        if (window->tag() == 0)
            showSpellIn(window, window->property(kSlot).toInt());
    }
}

void TMain::keepSlotOf(TFInfo* window, int slot) {
    window->setProperty(kSlot, slot);
}
