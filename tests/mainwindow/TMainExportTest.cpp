// Export through the File menu, and the import command reading a JSON export.
#include "MainWindowFixture.h"

#include "controls/THistoryComboBox.h"
#include "formats/SpellJson.h"

#include <QMenu>
#include <QMenuBar>

using namespace spelldata;

namespace {

class TMainExport : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        openFile(copySample());
    }

    // Opens the File menu with the mouse and clicks the entry, as a user does.
    void chooseFromFileMenu(const char* actionName) {
        QMenuBar* bar = window->menuBar();
        QMenu* file = window->findChild<QMenu*>("ImportFile");
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(file->menuAction()).center());
        ASSERT_TRUE(file->isVisible());
        QAction* action = control<QAction>(actionName);
        ASSERT_TRUE(action->isEnabled());
        QTest::mouseClick(file, Qt::LeftButton, {}, file->actionGeometry(action).center());
    }

    // A press in the list's mark column.
    void markRow(int row) {
        SpellListView* list = window->listPanel()->SList;
        const QPoint at(5, list->visualRect(window->listModel()->index(row)).center().y());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    }

    std::string nameOfRow(int row) {
        return window->session()->rawSpells()[window->listModel()->slotAt(row)]->Name;
    }

    SpellCollection readExport(const char* name, BookList& books) {
        SpellCollection spells;
        const Status s = formats::ReadSpellsJson(dir.file(name), spells, books);
        EXPECT_TRUE(s.ok()) << s.message;
        return spells;
    }
};

} // namespace

TEST_F(TMainExport, FileMenuExportsTheListOrTheMarkedSpellsInTheChosenFormat) {
    // No extension: the chosen filter's format (JSON first) and its extension.
    PromptScript::FileName(file("listed"));
    chooseFromFileMenu("MExport");
    BookList books;
    const SpellCollection listed = readExport("listed.json", books);
    ASSERT_EQ(listed.Count(), 30);
    for (int row = 0; row < 30; ++row) {
        SpellRecord shown = window->session()->rawSpells()[window->listModel()->slotAt(row)];
        shown->Shown = 0; // the list's state, not part of the spell
        EXPECT_EQ(listed[row], shown) << row;
    }
    EXPECT_EQ(books, window->session()->rawBooks());

    markRow(4);
    markRow(1);
    // The dialog's title says what goes out; a dialog left unanswered is
    // recorded with its title and cancels.
    chooseFromFileMenu("MExport");
    EXPECT_EQ(PromptScript::Unexpected(), QStringList{"save dialog: Export 2 Marked Spells"});
    PromptScript::Start(); // that prompt was meant to go unanswered

    PromptScript::FileName(file("marked.json"));
    chooseFromFileMenu("MExport");
    const SpellCollection marked = readExport("marked.json", books);
    ASSERT_EQ(marked.Count(), 2);
    EXPECT_EQ(marked[0]->Name, nameOfRow(1)); // in list order
    EXPECT_EQ(marked[1]->Name, nameOfRow(4));

    PromptScript::FileName(file("marked.csv"));
    chooseFromFileMenu("MExport");
    const std::string csv = testsupport::ReadBytes(dir.file("marked.csv"));
    EXPECT_TRUE(csv.starts_with("Kind,Level,Name,")) << csv.substr(0, 40);
    EXPECT_NE(csv.find(nameOfRow(4)), std::string::npos);
    EXPECT_EQ(csv.find(nameOfRow(2)), std::string::npos);
}

TEST_F(TMainExport, ImportCommandReadsAJsonExportAndRefusesABrokenOne) {
    testsupport::WriteBytes(dir.file("broken.json"), "{\"format\": \"quarvine-spells\",");
    PromptScript::FileName(file("broken.json"));
    PromptScript::Answer(QMessageBox::Cancel);
    click("BOpen");
    ASSERT_EQ(PromptScript::Messages().size(), 1);
    EXPECT_TRUE(PromptScript::Messages().front().startsWith(file("broken.json") + ": not JSON: "))
        << PromptScript::Messages().front().toStdString();
    EXPECT_EQ(window->session()->rawSpells().Count(), 30);
    EXPECT_EQ(listedNames().size(), 30);

    BookList books = window->session()->rawBooks();
    books[5] = "Imported Book";
    SpellRecord second = window->session()->rawSpells()[7];
    second->BookSet.set(5, true);
    second->BookCounts[5] = 4;
    testsupport::WriteBytes(
        dir.file("two.json"),
        formats::SpellsToJson({&window->session()->rawSpells()[3], &second}, books));
    PromptScript::FileName(file("two.json"));
    PromptScript::Answer(QMessageBox::No); // the import offers to save the new data file
    click("BOpen");
    ASSERT_EQ(window->session()->rawSpells().Count(), 2);
    EXPECT_EQ(window->session()->rawSpells()[1], second);
    EXPECT_EQ(window->session()->rawBooks(), books);
    EXPECT_EQ(window->fileBox()->currentText(), file("two.Dat"));
    EXPECT_GE(window->listPanel()->CBooks->findText("Imported Book"), 0);
    EXPECT_EQ(listedNames().size(), 2);
}
