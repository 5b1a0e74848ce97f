// The filter run of the main window and the handlers of the filter strip.
#include "mainwindow/TMain.h"

#include "collation/ListCollator.h"
#include "controls/GuiText.h"
#include "controls/Prompts.h"
#include "dialogs/info/TFInfo.h"
#include "dialogs/progress/TFMessage.h"
#include "mainwindow/SpellListDelegate.h"
#include "mainwindow/SpellListModel.h"
#include "mainwindow/SpellListView.h"
#include "mainwindow/TListPanel.h"
#include "spelldata/BookList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QToolButton>

using namespace spelldata;

void TMain::BEXEClick() {
    runFilter(false);
}

// One filter run: read the controls, test every spell, rebuild the list. When
// nothing passes, the controls are reset and one more run lists everything;
// if that finds nothing either, the list stays empty.
void TMain::runFilter(bool nested) {
    ShowProgress(QString(), QStringLiteral("Sorting Spell List"), false);
    buildFilterSets();
    TListPanel* p = panel_;
    if (p->BBooks->isChecked())
        ApplyBookStep(spells_, FindBook(SBooks, ToBytes(p->CBooks->currentText())),
                      p->FullList->isChecked());
    FilterSet.set(p->BMark->isChecked() ? OnlyMarked : AnyMark);
    const int order = p->SortType->findText(p->SortType->currentText());
    if (order >= 0)
        sortPass(static_cast<SortOrder>(order));
    if (spells_.ShownCount < 1 && !nested) {
        Prompts::Message(this,
                         QStringLiteral("No Spells were found matching the search/sort type. "
                                        "Restoring Full List."),
                         Prompts::Icon::Error, QMessageBox::Ok);
        p->FullList->setChecked(true);
        BAllClick();
        p->BMark->setChecked(false);
        p->BBooks->setChecked(false);
        runFilter(true);
    } else if (spells_.ShownCount >= 1) {
        p->SList->selectRow(0);
        p->SList->show();
        showQuickView();
        SListClick();
    }
    ShowCounters();
    HideProgress();
}

// Steps 2 to 6 of a run: scope, levels and kinds, with the two refusals.
void TMain::buildFilterSets() {
    TListPanel* p = panel_;
    FilterSet.reset();
    KindSet.reset();
    FilterSet.set(p->FullList->isChecked() && !p->BBooks->isChecked() ? EntireList : CurrentList);
    bool anyLevel = false;
    for (int level = 0; level <= 13; ++level) {
        const bool down = p->levelButton(level)->isChecked();
        FilterSet.set(static_cast<std::size_t>(level), down);
        anyLevel |= down;
    }
    if (!anyLevel) {
        Prompts::Message(this, QStringLiteral("At least one level must be selected!"),
                         Prompts::Icon::Error, QMessageBox::Ok);
        FilterSet.set(1);
        p->levelButton(1)->setChecked(true);
    }
    KindSet.set(0, p->BWiz->isChecked());
    KindSet.set(1, p->BPri->isChecked());
    KindSet.set(2, p->BPsi->isChecked());
    if (KindSet.none()) {
        Prompts::Message(this, QStringLiteral("At least one spell type must be selected!"),
                         Prompts::Icon::Error, QMessageBox::Ok);
        KindSet.set(0);
        p->BWiz->setChecked(true);
    }
}

void TMain::sortPass(SortOrder order) {
    panel_->SList->hide();
    model_->clear();
    std::vector<ListRow> rows = BuildRows(spells_, FilterSet, KindSet, order);
    ListCollator collator;
    SortRows(rows, collator);
    showRows(std::move(rows));
}

void TMain::showRows(std::vector<ListRow> rows) {
    std::vector<int> rowSlotList;
    rowSlotList.reserve(rows.size());
    for (const ListRow& row : rows)
        rowSlotList.push_back(row.Index);
    model_->setRows(std::move(rowSlotList));
}

void TMain::BAllClick() {
    TListPanel* p = panel_;
    for (QToolButton* b : {p->BWiz, p->BPri, p->BPsi})
        b->setChecked(true);
    for (const int level : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 11, 13})
        p->levelButton(level)->setChecked(true);
}

void TMain::BShowOnlyClick() {
    TListPanel* p = panel_;
    const bool oneLevel = p->BShowOnly->isChecked();
    p->Ball->setEnabled(!oneLevel);
    if (oneLevel) {
        for (QToolButton* b : p->levelButtons)
            b->setChecked(false);
        p->setLevelsExclusive(true);
        p->levelButton(1)->setChecked(true);
    } else {
        p->setLevelsExclusive(false);
    }
}

void TMain::ShowCounters() {
    panel_->LCur->setText(QString::number(spells_.ShownCount));
    panel_->LMax->setText(QString::number(spells_.Count()));
    panel_->LMark->setText(QString::number(spells_.MarkedCount()));
}

int TMain::selectedSlot() const {
    return model_->slotAt(panel_->SList->selectedRow());
}

void TMain::showSpellIn(TFInfo* window, int slot) {
    if (window && slot >= 0 && slot < spells_.Count())
        window->ShowSpell(spells_[slot]);
}

void TMain::SListClick() {
    const int slot = selectedSlot();
    for (TFInfo* window : infoWindows()) {
        if (window->tag() == 1)
            showSpellIn(window, slot);
    }
}

int TMain::chosenBook() const {
    return FindBook(SBooks, ToBytes(panel_->CBooks->currentText()));
}

void TMain::RebuildBookBox() {
    QComboBox* box = panel_->CBooks;
    const QSignalBlocker block(box);
    box->clear();
    for (const std::string& line : SBooks) {
        if (line != FreeBookLine)
            box->addItem(FromBytes(line));
    }
    if (!SBooks.empty())
        box->setCurrentIndex(box->findText(FromBytes(SBooks.front())));
    delegate_->setBook(chosenBook());
    panel_->SList->viewport()->update();
}
