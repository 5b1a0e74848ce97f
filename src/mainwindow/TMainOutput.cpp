// Printing and saving as text, searching, and the colour and font settings.
#include "mainwindow/TMain.h"

#include "controls/DisplaySettings.h"
#include "controls/THistoryComboBox.h"
#include "dialogs/output/TForm2.h"
#include "dialogs/progress/TFMessage.h"
#include "dialogs/search/TFSearch.h"
#include "dialogs/settings/TFconfig.h"
#include "mainwindow/ProgramDir.h"
#include "mainwindow/SpellListModel.h"
#include "mainwindow/SpellListView.h"
#include "mainwindow/TListPanel.h"
#include "session/SpellSession.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <optional>

ListSource TMain::listSource() const {
    ListSource source;
    source.spells = &session_->spells();
    source.rows = session_->rows();
    source.selectedRow = panel_->SList->selectedRow();
    source.fileBoxText = FileN->currentText();
    source.programDir = settingsFolder_;
    return source;
}

void TMain::BPrintClick() {
    printDialog()->BPrintClick(listSource());
}

// Placed after Print; like Export, it can be chosen once the list shows a spell.
void TMain::addPrintCardsCommand(QMenu* file) {
    MPrintCards = new QAction(QStringLiteral("Print &Cards\u2026"), this);
    MPrintCards->setObjectName(QStringLiteral("MPrintCards"));
    connect(MPrintCards, &QAction::triggered, this, &TMain::MPrintCardsClick);
    file->insertAction(MImportText, MPrintCards);
    connect(file, &QMenu::aboutToShow, this,
            [this] { MPrintCards->setEnabled(!session_->rows().empty()); });
}

void TMain::MPrintCardsClick() {
    printDialog()->BPrintCardsClick(listSource());
}

void TMain::BSaveTextClick() {
    printDialog()->BSaveTextClick(listSource());
}

// The search sets Shown on the spells it finds; a run over the current list
// then shows those that also pass the level, kind, mark and book controls.
// The message stays up from the search until the list is rebuilt.
void TMain::BSearchClick() {
    QCheckBox* fullList = panel_->FullList;
    const bool entire = fullList->isChecked();
    const std::optional<SearchRequest> request = searchDialog()->ask(entire);
    std::optional<ProgressShown> searching;
    if (request) {
        searching.emplace(QString(), QStringLiteral("Searching Spell List"), false);
        session_->search(request->needle, request->options);
    }
    fullList->setChecked(false);
    BEXEClick();
    fullList->setChecked(entire);
}

void TMain::BColorConfigClick() {
    configDialog()->exec();
    panel_->SList->viewport()->update();
}

// Colours and fonts changed: every quick info window and the list take them up.
void TMain::applyDisplaySettings() {
    for (TFInfo* window : infoWindows())
        window->setDescriptionFont(CurrentDisplay().descriptionFont());
    ApplyColours();
    panel_->SList->viewport()->update();
}
