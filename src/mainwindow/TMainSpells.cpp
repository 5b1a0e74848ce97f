// Marking, the list's mouse columns, and the add, delete and edit commands.
#include "mainwindow/TMain.h"

#include "controls/DisplaySettings.h"
#include "controls/GuiText.h"
#include "controls/Prompts.h"
#include "dialogs/edit/TFEdit.h"
#include "mainwindow/ListColumns.h"
#include "mainwindow/SpellListModel.h"
#include "mainwindow/SpellListView.h"
#include "mainwindow/TListPanel.h"
#include "session/SessionHistory.h"
#include "session/SpellSession.h"

#include <QMdiArea>
#include <QToolButton>

using namespace spelldata;
using ListColumns::Column;

// A press acts by its column on the selected row; presses on an empty list or
// with no selection do nothing.
void TMain::SListMouseDown(Qt::MouseButton button, int x) {
    const int slot = selectedSlot();
    const int book = chosenBook();
    const Column column = ListColumns::ColumnAt(x);
    const bool inBook = book >= 1 && book < MaxBooks;
    if (slot >= 0) {
        if (column == Column::Mark)
            toggleMark(slot);
        else if (column == Column::Book && inBook)
            history_->toggleBook(slot, book);
        else if (column == Column::Copies && inBook)
            history_->changeCopies(slot, book, button == Qt::LeftButton);
    }
    panel_->SList->setNameArea(column == Column::Name);
}

void TMain::toggleMark(int slot) {
    history_->toggleMark(slot);
    if (session_->spells().MarkedCount() == 0)
        panel_->BMark->setChecked(false);
}

void TMain::SListDblClick() {
    const int slot = selectedSlot();
    if (!panel_->SList->nameArea() || slot < 0)
        return;
    if (!panel_->BEdit->isChecked()) {
        openQuickInfo(slot);
        return;
    }
    if (editSpell(slot))
        BEXEClick();
    if (TFInfo* front = frontInfoWindow())
        showSpellIn(front, model_->slotAt(0));
    update();
}

// The editor asks; the session stores the answer over the old record (which
// hands on its mark and books) or, for a new spell, after the last one.
bool TMain::editSpell(int slot) {
    TFEdit editor(this);
    const bool existing = slot >= 0;
    std::optional<SpellRecord> edited =
        editor.EditSpell(existing ? &session_->spells()[slot] : nullptr);
    if (!edited)
        return false;
    if (!existing)
        return history_->addSpell(std::move(*edited));
    history_->replaceSpell(slot, std::move(*edited));
    return true;
}

void TMain::BMarkClick() {
    if (session_->spells().MarkedCount() == 0)
        panel_->BMark->setChecked(false);
}

void TMain::BUnmarkClick() {
    history_->unmarkAll();
    panel_->BMark->setChecked(false);
}

void TMain::BRevMarkClick() {
    history_->reverseMarks();
}

void TMain::BEditClick() {
    if (panel_->BEdit->isChecked() && mdi_->subWindowList().size() > 1) {
        Prompts::Message(this, QStringLiteral("Closing all Quick Info windows"),
                         Prompts::Icon::Question, QMessageBox::Ok);
        BCloseAllClick();
    }
}

void TMain::SpeedButton3Click() {
    if (session_->spells().Full()) {
        Prompts::Message(this, QStringLiteral("Range check error"), Prompts::Icon::Error,
                         QMessageBox::Ok);
        return;
    }
    if (editSpell(-1)) {
        BEXEClick();
        panel_->SList->selectRow(0);
    }
    update();
}

// Deletes the selected spell once the user agrees; the session moves the
// last record into its slot and the list follows.
void TMain::SpeedButton4Click() {
    const int slot = selectedSlot();
    if (slot < 0) {
        Prompts::Message(this, QStringLiteral("First select a spell!"), Prompts::Icon::Error,
                         QMessageBox::Cancel);
        return;
    }
    if (Prompts::Message(this,
                         QStringLiteral("Do you wish to delete spell: ") +
                             FromBytes(session_->spells()[slot]->Name) + QStringLiteral(" ?"),
                         Prompts::Icon::Question,
                         QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    history_->removeSpell(slot);
    panel_->SList->selectRow(0);
}
