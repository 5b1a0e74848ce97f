// Spell books: the book box and its commands.
#include "mainwindow/TMain.h"

#include "controls/GuiText.h"
#include "controls/Prompts.h"
#include "mainwindow/SpellListModel.h"
#include "mainwindow/TListPanel.h"
#include "session/SessionHistory.h"
#include "session/SpellSession.h"
#include "spelldata/BookList.h"

#include <QComboBox>
#include <QToolButton>

using namespace spelldata;

int TMain::chosenBook() const {
    return FindBook(session_->books(), ToBytes(panel_->CBooks->currentText()));
}

void TMain::chooseBook(const std::string& name) {
    panel_->CBooks->setCurrentIndex(panel_->CBooks->findText(FromBytes(name)));
}

void TMain::RebuildBookBox() {
    QComboBox* box = panel_->CBooks;
    const BookList& books = session_->books();
    const QSignalBlocker block(box);
    box->clear();
    for (const std::string& line : books) {
        if (line != FreeBookLine)
            box->addItem(FromBytes(line));
    }
    if (!books.empty())
        box->setCurrentIndex(box->findText(FromBytes(books.front())));
    model_->setBook(chosenBook());
}

void TMain::BAddBookClick() {
    QString name = QStringLiteral("New Book");
    if (!Prompts::Text(this, QString(), QStringLiteral("Enter name of Spell Book or List:"),
                       name) ||
        name.isEmpty())
        return;
    const std::string bytes = ToBytes(name);
    const int existing = FindBook(session_->books(), bytes);
    if (existing >= 1) {
        Prompts::Message(this, QStringLiteral("Book/List already exists, Switching to it"),
                         Prompts::Icon::Error, QMessageBox::Ok);
        RebuildBookBox();
        chooseBook(session_->books()[static_cast<std::size_t>(existing)]);
    } else if (history_->addBook(bytes) < 0) {
        Prompts::Message(this, QStringLiteral("Cannot create anymore Spell Books/Lists"),
                         Prompts::Icon::Error, QMessageBox::Ok);
    } else {
        RebuildBookBox();
        chooseBook(bytes);
    }
}

void TMain::BDelBookClick() {
    const int book = chosenBook();
    if (book < 1) {
        Prompts::Message(this, QStringLiteral("No Books to delete"), Prompts::Icon::Error,
                         QMessageBox::Cancel);
        return;
    }
    const QString name = FromBytes(session_->books()[static_cast<std::size_t>(book)]);
    if (Prompts::Message(
            this,
            QStringLiteral("Do you wish to delete spell book/list: ") + name + QStringLiteral(" ?"),
            Prompts::Icon::Question, QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    panel_->BBooks->setChecked(false);
    history_->deleteBook(book);
    RebuildBookBox();
}

void TMain::CBooksChange() {
    model_->setBook(chosenBook());
}

void TMain::BBooksClick() {
    if (chosenBook() == 0)
        panel_->BBooks->setChecked(false);
}

void TMain::BResetBooksClick() {
    const int book = chosenBook();
    if (book >= 0 && book < MaxBooks)
        history_->resetCopies(book);
}
