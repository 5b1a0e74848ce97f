// Marking, the list's mouse columns, and the add, delete and edit commands.
#include "mainwindow/TMain.h"

#include "controls/DisplaySettings.h"
#include "controls/GuiText.h"
#include "controls/Prompts.h"
#include "dialogs/edit/TFEdit.h"
#include "mainwindow/SpellListModel.h"
#include "mainwindow/SpellListView.h"
#include "mainwindow/TListPanel.h"

#include <QMdiArea>
#include <QToolButton>

using namespace spelldata;

namespace {
// Column edges of a list row, in pixels from its left edge.
constexpr int kBookColumn = 18;
constexpr int kCopiesColumn = 37;
constexpr int kLevelColumn = 56;
constexpr int kNameColumn = 75;
} // namespace

// A press acts by its column on the selected row; presses on an empty list or
// with no selection do nothing.
void TMain::SListMouseDown(Qt::MouseButton button, int x) {
    const int row = panel_->SList->selectedRow();
    const int book = chosenBook();
    if (row >= 0 && model_->slotAt(row) >= 0) {
        if (x < kBookColumn)
            toggleMark(row);
        else if (x < kCopiesColumn && book >= 1 && book < MaxBooks) {
            SpellRecord& r = spells_[model_->slotAt(row)];
            r->BookSet.set(book, !r->BookSet.test(book));
            r->BookCounts[static_cast<std::size_t>(book)] = 0;
            model_->refreshRow(row);
        } else if (x < kLevelColumn && book >= 1 && book < MaxBooks)
            changeCopies(row, book, button == Qt::LeftButton);
    }
    NameArea = x >= kNameColumn;
}

void TMain::toggleMark(int row) {
    const int slot = model_->slotAt(row);
    spells_.SetMarked(slot, !spells_[slot]->Marked);
    model_->refreshRow(row);
    if (spells_.MarkedCount() == 0)
        panel_->BMark->setChecked(false);
    ShowCounters();
}

// A copy count stays within 0..255: a left press at 255 and a right press at
// 0 change nothing.
void TMain::changeCopies(int row, int book, bool add) {
    SpellRecord& r = spells_[model_->slotAt(row)];
    if (!r->BookSet.test(book))
        return;
    std::uint8_t& count = r->BookCounts[static_cast<std::size_t>(book)];
    if (add && count < 255)
        ++count;
    else if (!add && count > 0)
        --count;
    model_->refreshRow(row);
}

void TMain::SListDblClick() {
    const int slot = selectedSlot();
    if (!NameArea || slot < 0)
        return;
    if (!panel_->BEdit->isChecked()) {
        openQuickInfo(slot);
        return;
    }
    if (editSpell(true, slot))
        BEXEClick();
    if (TFInfo* front = frontInfoWindow())
        showSpellIn(front, model_->slotAt(0));
    update();
}

void TMain::openQuickInfo(int slot) {
    auto* window = new TFInfo;
    mdi_->addSubWindow(window);
    window->setTag(0);
    window->showSysGroup();
    window->setDescriptionFont(CurrentDisplay().descriptionFont());
    window->show();
    fitIntoArea(window);
    mdi_->setActiveSubWindow(window);
    ApplyColours();
    showSpellIn(window, slot);
}

bool TMain::editSpell(bool existing, int slot) {
    TFEdit editor(this);
    return editor.EditSpell(existing, spells_, slot);
}

void TMain::BMarkClick() {
    if (spells_.MarkedCount() == 0)
        panel_->BMark->setChecked(false);
}

void TMain::BUnmarkClick() {
    spells_.SetAllMarked(false);
    panel_->BMark->setChecked(false);
    model_->refreshAll();
    ShowCounters();
}

void TMain::BRevMarkClick() {
    spells_.ReverseMarks();
    ShowCounters();
    model_->refreshAll();
}

void TMain::BEditClick() {
    if (panel_->BEdit->isChecked() && mdi_->subWindowList().size() > 1) {
        Prompts::Message(this, QStringLiteral("Closing all Quick Info windows"),
                         Prompts::Icon::Question, QMessageBox::Ok);
        BCloseAllClick();
    }
}

void TMain::SpeedButton3Click() {
    if (spells_.Full()) {
        Prompts::Message(this, QStringLiteral("Range check error"), Prompts::Icon::Error,
                         QMessageBox::Ok);
        return;
    }
    if (editSpell(false, spells_.Count())) {
        BEXEClick();
        panel_->SList->selectRow(0);
    }
    update();
}

// Deletes the selected spell: the last record moves into its slot, and the
// rows that showed the last slot are renumbered first.
void TMain::SpeedButton4Click() {
    const int row = panel_->SList->selectedRow();
    const int slot = model_->slotAt(row);
    if (slot < 0) {
        Prompts::Message(this, QStringLiteral("First select a spell!"), Prompts::Icon::Error,
                         QMessageBox::Cancel);
        return;
    }
    if (Prompts::Message(this,
                         QStringLiteral("Do you wish to delete spell: ") +
                             FromBytes(spells_[slot]->Name) + QStringLiteral(" ?"),
                         Prompts::Icon::Question,
                         QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    model_->removeListRow(row);
    model_->renumber(spells_.Count() - 1, slot);
    spells_.RemoveSlot(slot);
    spells_.ShownCount = model_->rowCount();
    panel_->SList->selectRow(0);
    ShowCounters();
}
