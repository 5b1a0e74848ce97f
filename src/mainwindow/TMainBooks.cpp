// Spell books: the book table, the book box and its commands.
#include "mainwindow/TMain.h"

#include "controls/GuiText.h"
#include "controls/Prompts.h"
#include "mainwindow/SpellListDelegate.h"
#include "mainwindow/SpellListModel.h"
#include "mainwindow/SpellListView.h"
#include "mainwindow/TListPanel.h"
#include "spelldata/BookList.h"

#include <QComboBox>
#include <QToolButton>

using namespace spelldata;

void TMain::ClearBookBit(int book) {
    for (SpellRecord& r : spells_)
        r->BookSet.set(book, false);
}

void TMain::BAddBookClick() {
    QString name = QStringLiteral("New Book");
    if (Prompts::Text(this, QString(), QStringLiteral("Enter name of Spell Book or List:"), name) &&
        !name.isEmpty()) {
        const std::string bytes = ToBytes(name);
        const int existing = FindBook(SBooks, bytes);
        if (existing >= 1) {
            Prompts::Message(this, QStringLiteral("Book/List already exists, Switching to it"),
                             Prompts::Icon::Error, QMessageBox::Ok);
            RebuildBookBox();
            panel_->CBooks->setCurrentIndex(
                panel_->CBooks->findText(FromBytes(SBooks[static_cast<std::size_t>(existing)])));
        } else {
            // Only positions a spell record can hold (1..255) take new books.
            int free = -1;
            for (std::size_t i = 1; i < SBooks.size() && i < MaxBooks && free < 0; ++i) {
                if (SBooks[i] == FreeBookLine)
                    free = static_cast<int>(i);
            }
            if (free < 0) {
                Prompts::Message(this, QStringLiteral("Cannot create anymore Spell Books/Lists"),
                                 Prompts::Icon::Error, QMessageBox::Ok);
            } else {
                SBooks[static_cast<std::size_t>(free)] = bytes;
                ClearBookBit(free);
                RebuildBookBox();
                panel_->CBooks->setCurrentIndex(panel_->CBooks->findText(FromBytes(bytes)));
            }
        }
    }
    panel_->SList->viewport()->update();
}

void TMain::BDelBookClick() {
    const int book = chosenBook();
    if (book < 1) {
        Prompts::Message(this, QStringLiteral("No Books to delete"), Prompts::Icon::Error,
                         QMessageBox::Cancel);
        return;
    }
    const QString name = FromBytes(SBooks[static_cast<std::size_t>(book)]);
    if (Prompts::Message(
            this,
            QStringLiteral("Do you wish to delete spell book/list: ") + name + QStringLiteral(" ?"),
            Prompts::Icon::Question, QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    ClearBookBit(book);
    panel_->BBooks->setChecked(false);
    SBooks[static_cast<std::size_t>(book)] = std::string(FreeBookLine);
    RebuildBookBox();
}

void TMain::CBooksChange() {
    delegate_->setBook(chosenBook());
    panel_->SList->viewport()->update();
}

void TMain::BBooksClick() {
    if (chosenBook() == 0)
        panel_->BBooks->setChecked(false);
}

void TMain::BResetBooksClick() {
    const int book = chosenBook();
    if (book < 0 || book >= MaxBooks)
        return;
    for (SpellRecord& r : spells_)
        r->BookCounts[static_cast<std::size_t>(book)] = 0;
    panel_->SList->viewport()->update();
}
