// Spell books: adding, deleting, choosing, the book filter and resets.
#include "MainWindowFixture.h"

#include "spelldata/DataFile.h"

#include <QCheckBox>

using namespace spelldata;

namespace {

class TMainBooks : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        openFile(copySample());
        panel = window->listPanel();
    }

    void addBook(const QString& name) {
        PromptScript::Text(name);
        click("BAddBook");
    }
    int membersOf(int book) {
        int n = 0;
        for (const SpellRecord& r : window->session()->rawSpells())
            n += r->BookSet.test(book);
        return n;
    }

    TListPanel* panel = nullptr;
};

} // namespace

TEST_F(TMainBooks, AddingTakesTheFirstFreePositionAndChoosesIt) {
    addBook("Winter Studies");
    EXPECT_EQ(window->session()->rawBooks()[3], "Winter Studies");
    EXPECT_EQ(panel->CBooks->currentText(), "Winter Studies");
    EXPECT_EQ(membersOf(3), 0);
    PromptScript::Answer(QMessageBox::Ok);
    addBook("winter STUDIES");
    EXPECT_EQ(PromptScript::Messages().back(), "Book/List already exists, Switching to it");
    EXPECT_EQ(window->session()->rawBooks()[4], "#");
    PromptScript::CancelText();
    click("BAddBook");
    addBook("");
    EXPECT_EQ(window->session()->rawBooks()[4], "#");
}

TEST_F(TMainBooks, DeletedPositionsAreReusedWithoutOldMembers) {
    panel->CBooks->setCurrentIndex(panel->CBooks->findText("Temple of the Slow River"));
    ASSERT_GT(membersOf(2), 0);
    panel->BBooks->setChecked(true);
    PromptScript::Answer(QMessageBox::Cancel);
    click("BDelBook");
    EXPECT_EQ(window->session()->rawBooks()[2], "Temple of the Slow River");
    PromptScript::Answer(QMessageBox::Ok);
    click("BDelBook");
    EXPECT_EQ(PromptScript::Messages().back(),
              "Do you wish to delete spell book/list: Temple of the Slow River ?");
    EXPECT_EQ(window->session()->rawBooks()[2], "#");
    EXPECT_EQ(membersOf(2), 0);
    EXPECT_FALSE(panel->BBooks->isChecked());
    EXPECT_EQ(panel->CBooks->currentIndex(), 0);
    addBook("Fresh Book");
    EXPECT_EQ(window->session()->rawBooks()[2], "Fresh Book");
    EXPECT_EQ(membersOf(2), 0);
    PromptScript::Answer(QMessageBox::Cancel);
    panel->CBooks->setCurrentIndex(0);
    click("BDelBook");
    EXPECT_EQ(PromptScript::Messages().back(), "No Books to delete");
}

TEST_F(TMainBooks, NoMoreThanTheFreePositions) {
    for (std::size_t i = 3; i < window->session()->rawBooks().size(); ++i)
        window->session()->rawBooks()[i] = "Book " + std::to_string(i);
    PromptScript::Answer(QMessageBox::Ok);
    addBook("One too many");
    EXPECT_EQ(PromptScript::Messages().back(), "Cannot create anymore Spell Books/Lists");
    EXPECT_EQ(FindBook(window->session()->rawBooks(), "One too many"), -1);
}

TEST_F(TMainBooks, TheBookFilterFollowsEntireList) {
    panel->BBooks->setChecked(true);
    click("BBooks"); // the no-book entry is chosen: the button pops up again
    EXPECT_FALSE(panel->BBooks->isChecked());
    panel->CBooks->setCurrentIndex(panel->CBooks->findText("Mirela's Travelling Book"));
    click("BBooks");
    ASSERT_TRUE(panel->BBooks->isChecked());
    click("BEXE");
    EXPECT_EQ(window->listModel()->rowCount(), membersOf(1));
    for (const int slot : window->listModel()->rowSlots())
        EXPECT_TRUE(window->session()->rawSpells()[slot]->BookSet.test(1));

    // With Entire List off, only book members of the current list stay.
    panel->BBooks->setChecked(false);
    click("BPri");
    click("BEXE");
    panel->FullList->setChecked(false);
    panel->BBooks->setChecked(true);
    click("BPri");
    click("BEXE");
    for (const int slot : window->listModel()->rowSlots())
        EXPECT_NE(window->session()->rawSpells()[slot].kind(), SpellKind::Priest);
    EXPECT_EQ(window->listModel()->rowCount(), membersOf(1));
}

TEST_F(TMainBooks, ResetZeroesTheChosenBooksCountsOnly) {
    panel->CBooks->setCurrentIndex(panel->CBooks->findText("Mirela's Travelling Book"));
    window->session()->rawSpells()[0]->BookCounts[2] = 5;
    window->session()->rawSpells()[1]->BookCounts[1] = 7;
    click("BResetBooks");
    for (const SpellRecord& r : window->session()->rawSpells())
        EXPECT_EQ(r->BookCounts[1], 0);
    EXPECT_EQ(window->session()->rawSpells()[0]->BookCounts[2], 5);
}

TEST_F(TMainBooks, BooksTravelWithTheDataFileSet) {
    addBook("Saved Book");
    window->session()->rawSpells()[4]->BookSet.set(3, true);
    window->session()->rawSpells()[4]->BookCounts[3] = 6;
    const std::string name = window->session()->rawSpells()[4]->Name;
    PromptScript::Answer(QMessageBox::Yes);
    click("BSaveConv");
    click("BOpenConv");
    EXPECT_EQ(window->session()->rawBooks()[3], "Saved Book");
    int found = 0;
    for (const SpellRecord& r : window->session()->rawSpells()) {
        if (r->Name == name) {
            EXPECT_TRUE(r->BookSet.test(3));
            EXPECT_EQ(r->BookCounts[3], 6);
            ++found;
        }
    }
    EXPECT_EQ(found, 1);
}
