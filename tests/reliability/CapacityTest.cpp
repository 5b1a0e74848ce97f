// The collection's capacity seen from the main window: more spells than
// slots, from a text import and from a set opened in add mode, end with a
// full collection, a message that says how many were left out, and a list and
// counters that agree with it.
#include "MainWindowFixture.h"

#include "controls/GuiText.h"
#include "dialogs/edit/TFEdit.h"
#include "spelldata/DataFile.h"
#include "spelldata/TextExport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <string>
#include <vector>

using namespace spelldata;

namespace {

constexpr int kCapacity = SpellCollection::Capacity;

std::string spellName(int i) {
    return "Capacity Spell " + std::to_string(100000 + i).substr(1);
}

// Spell number `i` of the generated sets: the three kinds in turn, levels
// that suit each kind, a book or two.
SpellRecord generated(int i) {
    const std::string name = spellName(i);
    SpellRecord r = i % 3 == 0   ? testsupport::FullWizard(name)
                    : i % 3 == 1 ? testsupport::FullPriest(name)
                                 : testsupport::FullPsionic(name);
    r->Level = static_cast<SpellLevel>(i % 3 == 2 ? 11 + i % 3 : 1 + i % 10);
    return r;
}

std::string trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

std::string refusedMessage(int refused) {
    return "The collection holds at most 15000 spells: " + std::to_string(refused) +
           " spells did not fit and were left out.";
}

// The messages shown so far, for readable comparisons.
std::vector<std::string> messages() {
    std::vector<std::string> out;
    for (const QString& m : PromptScript::Messages())
        out.push_back(m.toStdString());
    return out;
}

std::string lastMessage() {
    const QStringList all = PromptScript::Messages();
    return all.isEmpty() ? std::string() : all.back().toStdString();
}

class Capacity : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        // An editor that opens when the collection is full would wait for
        // ever: close it and fail.
        guard.setInterval(100);
        QObject::connect(&guard, &QTimer::timeout, window.get(), [this] {
            if (TFEdit* editor = window->findChild<TFEdit*>(); editor && editor->isVisible()) {
                ADD_FAILURE() << "the editor opened on a full collection";
                editor->reject();
            }
        });
    }

    // Writes `count` (at most the capacity) generated spells as a data file
    // set; returns its .Dat path.
    QString writeSet(const char* base, int count) {
        SpellCollection set;
        for (int i = 0; i < count; ++i)
            EXPECT_TRUE(set.Append(generated(i))) << i;
        EXPECT_TRUE(WriteDataFile(set, InitialBookList(), dir.file(base)).ok());
        return file((std::string(base) + ".Dat").c_str());
    }

    // The list, the flags and the counters agree with a full collection.
    void expectFullAndConsistent() {
        const SpellCollection& s = window->session()->rawSpells();
        EXPECT_EQ(s.Count(), kCapacity);
        EXPECT_EQ(s.ShownCount, window->listModel()->rowCount());
        EXPECT_EQ(s.MarkedCount(), s.CountMarked());
        std::vector<int> rowsOfSlot(static_cast<std::size_t>(s.Count()), 0);
        for (int row = 0; row < window->listModel()->rowCount(); ++row) {
            const int slot = window->listModel()->slotAt(row);
            ASSERT_GE(slot, 0) << row;
            ASSERT_LT(slot, s.Count()) << row;
            ++rowsOfSlot[static_cast<std::size_t>(slot)];
        }
        int mismatched = 0;
        for (int slot = 0; slot < s.Count(); ++slot)
            mismatched += rowsOfSlot[static_cast<std::size_t>(slot)] != (s[slot]->Shown ? 1 : 0);
        EXPECT_EQ(mismatched, 0) << "slots whose Shown flag disagrees with the list";
        EXPECT_EQ(labelText("LMax"), QString::number(kCapacity));
        EXPECT_EQ(labelText("LCur"), QString::number(s.ShownCount));
        EXPECT_EQ(labelText("LMark"), QString::number(s.MarkedCount()));
    }

    // Adding through the editor on a full collection says so and adds nothing.
    void expectAddingRefused() {
        guard.start();
        PromptScript::Answer(QMessageBox::Ok);
        click("SpeedButton3");
        guard.stop();
        EXPECT_EQ(lastMessage(), "Range check error");
        EXPECT_EQ(PromptScript::LastIcon(), Prompts::Icon::Error);
        EXPECT_EQ(window->session()->rawSpells().Count(), kCapacity);
    }

    QTimer guard;
};

} // namespace

TEST_F(Capacity, ATwentyThousandSpellImportKeepsFifteenThousandAndSaysSo) {
    constexpr int kInFile = 20000;
    std::string text;
    text.reserve(static_cast<std::size_t>(kInFile) * 700);
    for (int i = 0; i < kInFile; ++i)
        text += SaveSpell(generated(i), 2);
    const std::string path = dir.file("BIG.TXT");
    testsupport::WriteBytes(path, text);

    PromptScript::FileName(QString::fromStdString(path));
    PromptScript::Answer(QMessageBox::Ok);  // the spells left out
    PromptScript::Answer(QMessageBox::Yes); // saving the converted set
    click("BOpen");
    EXPECT_EQ(messages(), (std::vector<std::string>{refusedMessage(kInFile - kCapacity),
                                                    "Are you sure you want to save file: " +
                                                        file("BIG.Dat").toStdString()}));
    expectFullAndConsistent();
    EXPECT_EQ(window->listModel()->rowCount(), kCapacity);
    // The first blocks of the file are the ones kept, in file order.
    for (int slot : {0, 1, 2, 7777, kCapacity - 1})
        EXPECT_EQ(trimmed(window->session()->rawSpells()[slot]->Name), spellName(slot)) << slot;

    // What was saved is the full collection.
    SpellCollection saved;
    BookList books = InitialBookList();
    ASSERT_TRUE(ReadDataFile(saved, books, dir.file("BIG")).status.ok());
    EXPECT_EQ(saved.Count(), kCapacity);
    expectAddingRefused();
}

TEST_F(Capacity, AFullSetOpenedInAddModeOnALoadedOneStopsAtTheLastSlot) {
    const QString full = writeSet("full", kCapacity);
    openFile(copySample());
    const int first = window->session()->rawSpells().Count();
    ASSERT_GT(first, 0);
    std::vector<std::string> loaded;
    for (const SpellRecord& r : window->session()->rawSpells())
        loaded.push_back(r->Name);

    PromptScript::FileName(full);
    click("BitBtn11");
    click("BOpenAdd");
    ASSERT_TRUE(window->session()->addMode());
    PromptScript::Answer(QMessageBox::Ok);
    click("BOpenConv");
    EXPECT_EQ(lastMessage(), refusedMessage(first));
    EXPECT_EQ(PromptScript::LastIcon(), Prompts::Icon::Error);
    expectFullAndConsistent();
    EXPECT_EQ(window->listModel()->rowCount(), kCapacity);
    for (int slot = 0; slot < first; ++slot)
        EXPECT_EQ(window->session()->rawSpells()[slot]->Name,
                  loaded[static_cast<std::size_t>(slot)])
            << slot;
    EXPECT_EQ(window->session()->rawSpells()[first]->Name, spellName(0));
    EXPECT_EQ(window->session()->rawSpells()[kCapacity - 1]->Name,
              spellName(kCapacity - first - 1));
    expectAddingRefused();

    // Opened again in add mode: nothing fits, nothing is written past the end.
    PromptScript::Answer(QMessageBox::Ok);
    click("BOpenConv");
    EXPECT_EQ(lastMessage(), refusedMessage(kCapacity));
    expectFullAndConsistent();
    EXPECT_EQ(window->session()->rawSpells()[kCapacity - 1]->Name,
              spellName(kCapacity - first - 1));

    // Marking all and deleting one frees exactly one slot, which the editor
    // then fills; the next add is refused again.
    click("BRevMark");
    EXPECT_EQ(window->session()->rawSpells().MarkedCount(), kCapacity);
    window->listPanel()->SList->selectRow(0);
    PromptScript::Answer(QMessageBox::Ok);
    click("SpeedButton4");
    EXPECT_EQ(window->session()->rawSpells().Count(), kCapacity - 1);
    EXPECT_EQ(window->session()->rawSpells().MarkedCount(), kCapacity - 1);
    EXPECT_EQ(window->listModel()->rowCount(), kCapacity - 1);
    QTimer::singleShot(0, window.get(), [this] {
        auto* editor = window->findChild<TFEdit*>();
        ASSERT_NE(editor, nullptr);
        editor->findChild<QLineEdit*>("CName")->setText("The Last Slot");
        editor->findChild<QPushButton*>("OK")->click();
    });
    click("SpeedButton3");
    expectFullAndConsistent();
    EXPECT_EQ(window->session()->rawSpells()[kCapacity - 1]->Name, "The Last Slot");
    EXPECT_EQ(window->session()->rawSpells().MarkedCount(), kCapacity - 1);
    expectAddingRefused();
}

TEST_F(Capacity, AFullSetOpensWholeAndSavesWhole) {
    const QString full = writeSet("full", kCapacity);
    openFile(full);
    EXPECT_EQ(messages(), std::vector<std::string>());
    expectFullAndConsistent();
    EXPECT_EQ(window->session()->rawSpells()[kCapacity - 1]->Name, spellName(kCapacity - 1));
    PromptScript::Answer(QMessageBox::Yes);
    click("BSaveConv");
    SpellCollection saved;
    BookList books = InitialBookList();
    ASSERT_TRUE(ReadDataFile(saved, books, dir.file("full")).status.ok());
    EXPECT_EQ(saved.Count(), kCapacity);
    expectAddingRefused();
}
