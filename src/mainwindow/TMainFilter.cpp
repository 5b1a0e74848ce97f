// The filter run of the main window and the handlers of the filter strip.
#include "mainwindow/TMain.h"

#include "controls/GuiText.h"
#include "controls/Prompts.h"
#include "dialogs/info/TFInfo.h"
#include "dialogs/progress/TFMessage.h"
#include "mainwindow/QuickFilterBar.h"
#include "mainwindow/SpellListModel.h"
#include "mainwindow/SpellListView.h"
#include "mainwindow/TListPanel.h"
#include "session/SpellSession.h"
#include "spelldata/BookList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QToolButton>

using namespace spelldata;

void TMain::BEXEClick() {
    panel_->QuickBar->dismiss();
    runFilter(false);
}

// One filter run: read the controls, let the session test every spell and
// rebuild the rows. When nothing passes, the controls are reset and one more
// run lists everything; if that finds nothing either, the list stays empty.
void TMain::runFilter(bool nested) {
    const ProgressShown sorting(QString(), QStringLiteral("Sorting Spell List"), false);
    TListPanel* p = panel_;
    const FilterRequest request = filterRequest();
    if (request.order)
        p->SList->hide();
    session_->runFilter(request);
    const int shown = session_->spells().ShownCount;
    if (shown < 1 && !nested) {
        Prompts::Message(this,
                         QStringLiteral("No Spells were found matching the search/sort type. "
                                        "Restoring Full List."),
                         Prompts::Icon::Error, QMessageBox::Ok);
        p->FullList->setChecked(true);
        BAllClick();
        p->BMark->setChecked(false);
        p->BBooks->setChecked(false);
        runFilter(true);
    } else if (shown >= 1) {
        p->SList->selectRow(0);
        p->SList->show();
        showQuickView();
        SListClick();
    }
}

// The controls as a filter request; a run without a level or a kind is
// refused and the controls set to admit one.
FilterRequest TMain::filterRequest() {
    TListPanel* p = panel_;
    FilterRequest request;
    for (int level = 0; level <= 13; ++level)
        request.levels.set(static_cast<std::size_t>(level), p->levelButton(level)->isChecked());
    if (request.levels.none()) {
        Prompts::Message(this, QStringLiteral("At least one level must be selected!"),
                         Prompts::Icon::Error, QMessageBox::Ok);
        request.levels.set(1);
        p->levelButton(1)->setChecked(true);
    }
    request.kinds.set(0, p->BWiz->isChecked());
    request.kinds.set(1, p->BPri->isChecked());
    request.kinds.set(2, p->BPsi->isChecked());
    if (request.kinds.none()) {
        Prompts::Message(this, QStringLiteral("At least one spell type must be selected!"),
                         Prompts::Icon::Error, QMessageBox::Ok);
        request.kinds.set(0);
        p->BWiz->setChecked(true);
    }
    request.fullList = p->FullList->isChecked();
    request.onlyMarked = p->BMark->isChecked();
    if (p->BBooks->isChecked())
        request.book = chosenBook();
    const int order = p->SortType->findText(p->SortType->currentText());
    if (order >= 0)
        request.order = static_cast<SortOrder>(order);
    return request;
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
    const SpellCollection& spells = session_->spells();
    // While the quick filter narrows the list: its rows of the filter run's.
    const bool narrowed = session_->narrowed();
    const auto count = [](const std::vector<int>& rows) { return static_cast<int>(rows.size()); };
    panel_->LCur->setText(QString::number(narrowed ? count(session_->rows()) : spells.ShownCount));
    panel_->LMax->setText(QString::number(narrowed ? count(session_->runRows()) : spells.Count()));
    panel_->LMark->setText(QString::number(spells.MarkedCount()));
}

int TMain::selectedSlot() const {
    return model_->slotAt(panel_->SList->selectedRow());
}

void TMain::showSpellIn(TFInfo* window, int slot) {
    if (window && slot >= 0 && slot < session_->spells().Count())
        window->ShowSpell(session_->spells()[slot]);
}

void TMain::SListClick() {
    const int slot = selectedSlot();
    for (TFInfo* window : infoWindows()) {
        if (window->tag() == 1)
            showSpellIn(window, slot);
    }
}
