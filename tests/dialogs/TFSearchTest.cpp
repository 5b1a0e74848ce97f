#include "dialogs/search/TFSearch.h"

#include "KeyboardSupport.h"
#include "controls/Prompts.h"
#include "controls/THistoryComboBox.h"
#include "dialogs/progress/TFMessage.h"
#include "spelldata/SpellCollection.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using spelldata::SpellCollection;
using spelldata::SpellKind;
using spelldata::SpellRecord;

namespace {

using Names = std::vector<std::string>;

const char* const OptionBoxes[] = {"CN", "CSS", "CS", "CSC", "CD"};

SpellRecord Spell(SpellKind kind, const char* name, const char* description, const char* source,
                  const char* school) {
    SpellRecord record(kind);
    record->Name = name;
    record->Description = description;
    record->Source = source;
    record->School = school;
    return record;
}

// Each field holds words found nowhere else, so a search for them tells
// which field a box stands for.
SpellCollection Library() {
    SpellCollection spells;
    spells.Append(
        Spell(SpellKind::Wizard, "Fireball", "A burst of flame.", "Players Handbook", "Evocation"));
    spells.Append(Spell(SpellKind::Wizard, "Wall of Ice", "A sheet of rime.", "Tome of Frost",
                        "Conjuration"));
    SpellRecord prayer =
        Spell(SpellKind::Priest, "Flame Strike", "A column of fire.", "Temple notes", "Alteration");
    prayer.pri().Sphere = "Combat";
    spells.Append(prayer);
    spells.Append(Spell(SpellKind::Psionic, "Mind Thrust", "", "Psionics Codex", "Telepathy"));
    spells.Append(Spell(SpellKind::Wizard, "FIRE TRAP", "", "", "Abjuration"));
    spells.Append(Spell(SpellKind::Wizard,
                        "Caf\xE9"
                        " Ward",
                        "", "", "Abjuration"));
    for (SpellRecord& record : spells)
        record->Shown = 1;
    return spells;
}

class TFSearchTest : public ::testing::Test {
protected:
    void SetUp() override { TFMessage::setInstance(&progress); }
    void TearDown() override { TFMessage::setInstance(nullptr); }

    template <typename T> T* child(const char* name) {
        T* found = dialog.findChild<T*>(QString::fromLatin1(name));
        if (!found)
            throw std::runtime_error(std::string("no control ") + name);
        return found;
    }
    THistoryComboBox* box() { return child<THistoryComboBox>("SearchStr"); }

    // Opens the dialog with ask(entire), lets `act` work on it, runs the
    // search it answers with under the progress message, as the main window
    // does, and returns whether it was closed with OK. A dialog still open after five seconds is
    // rejected, so a broken button fails the test instead of hanging it.
    bool open(bool entire, const std::function<void()>& act) {
        QTimer::singleShot(0, &dialog, act);
        QTimer::singleShot(5000, &dialog, [this] {
            ADD_FAILURE() << "the dialog did not close";
            dialog.reject();
        });
        answer = dialog.ask(entire);
        if (answer) {
            const ProgressShown searching(QString(), QStringLiteral("Searching Spell List"), false);
            spelldata::SearchSpells(answer->needle, spells,
                                    static_cast<std::uint16_t>(spells.Count()), answer->options);
        }
        return dialog.result() == QDialog::Accepted;
    }
    // Types `text` over the search string and presses `button`.
    bool search(const QString& text, bool entire = true, const char* button = "BitBtn1") {
        return open(entire, [this, text, button] {
            box()->lineEdit()->clear();
            QTest::keyClicks(box()->lineEdit(), text);
            QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
        });
    }
    void checkOnly(const char* name) {
        for (const char* option : OptionBoxes)
            child<QCheckBox>(option)->setChecked(QByteArray(option) == name);
    }
    Names found() const {
        Names names;
        for (const SpellRecord& record : spells) {
            if (record->Shown)
                names.push_back(record->Name);
        }
        return names;
    }
    QStringList history() {
        QStringList entries;
        for (int i = 0; i < box()->count(); ++i)
            entries.append(box()->itemText(i));
        return entries;
    }

    SpellCollection spells = Library();
    TFMessage progress;
    TFSearch dialog;
    std::optional<SearchRequest> answer;
};

} // namespace

TEST_F(TFSearchTest, startsWithItsControlsAndEveryBoxChecked) {
    EXPECT_EQ(dialog.windowTitle(), "Serach Dialogue");
    EXPECT_EQ(dialog.size(), QSize(427, 190));
    EXPECT_TRUE(box()->isEditable());
    EXPECT_TRUE(box()->Sorted());
    EXPECT_EQ(box()->MaxHistoryLength(), 20);
    EXPECT_EQ(box()->count(), 0);
    for (const char* name : {"Entire", "CN", "CSS", "CS", "CSC", "CD"})
        EXPECT_TRUE(child<QCheckBox>(name)->isChecked()) << name;
}

TEST_F(TFSearchTest, eachOptionBoxSearchesItsOwnFieldAndNoOther) {
    struct Case {
        const char* box;
        const char* needle;
        const char* spell;
    };
    const Case cases[] = {
        {"CN", "wall of", "Wall of Ice"},  {"CD", "RIME", "Wall of Ice"},
        {"CS", "temple", "Flame Strike"},  {"CSS", "telepathy", "Mind Thrust"},
        {"CSC", "combat", "Flame Strike"},
    };
    for (const Case& c : cases) {
        checkOnly(c.box);
        EXPECT_TRUE(search(QString::fromLatin1(c.needle)));
        EXPECT_EQ(found(), Names{c.spell}) << c.box << " alone";

        for (const char* option : OptionBoxes)
            child<QCheckBox>(option)->setChecked(QByteArray(option) != c.box);
        EXPECT_TRUE(search(QString::fromLatin1(c.needle)));
        EXPECT_EQ(found(), Names{}) << "every box but " << c.box;
        for (SpellRecord& record : spells)
            record->Shown = 1;
    }
}

TEST_F(TFSearchTest, entireListOff_searchesOnlyTheShownSpells) {
    spells[0]->Shown = 0; // Fireball: hidden by the main window's filter
    spells[1]->Shown = 0;
    EXPECT_TRUE(search("fire", false));
    EXPECT_FALSE(child<QCheckBox>("Entire")->isChecked());
    EXPECT_EQ(found(), (Names{"Flame Strike", "FIRE TRAP"}));

    EXPECT_TRUE(search("fire", true));
    EXPECT_TRUE(child<QCheckBox>("Entire")->isChecked());
    EXPECT_EQ(found(), (Names{"Fireball", "Flame Strike", "FIRE TRAP"}));
}

TEST_F(TFSearchTest, matchMaySpanTheEndOfTheNameAndTheStartOfTheDescription) {
    EXPECT_TRUE(search("ballA burst"));
    EXPECT_EQ(found(), Names{"Fireball"});

    child<QCheckBox>("CD")->setChecked(false);
    EXPECT_TRUE(search("ballA burst"));
    EXPECT_EQ(found(), Names{});
}

TEST_F(TFSearchTest, typedTextIsSearchedAsTheCollectionsBytes) {
    EXPECT_TRUE(open(true, [this] {
        QLineEdit* edit = box()->lineEdit();
        QTest::keyClicks(edit, "caf");
        // keyClicks knows only ASCII; an accented key is sent with its text.
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_Eacute, QString(QChar(0xE9)), {});
        QTest::keyClicks(edit, " w");
        QTest::mouseClick(child<QPushButton>("BitBtn1"), Qt::LeftButton);
    }));
    EXPECT_EQ(found(), Names{"Caf\xE9 Ward"});
}

TEST_F(TFSearchTest, aCharacterTheCollectionCannotHoldIsNamedAndNothingIsSearched) {
    spells[0]->Name = "Who? Knows";
    spells[1]->Shown = 0;
    const Names before = found();
    PromptScript::Answer(QMessageBox::Ok);
    EXPECT_TRUE(open(true, [this] {
        QLineEdit* edit = box()->lineEdit();
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(QChar(0x03A9)), {});
        QTest::mouseClick(child<QPushButton>("BitBtn1"), Qt::LeftButton);
    }));
    EXPECT_FALSE(answer.has_value());
    ASSERT_EQ(PromptScript::Messages().size(), 1);
    EXPECT_EQ(PromptScript::Messages().front(),
              QString::fromUtf8("The character \"\u03A9\" cannot occur in the collection; "
                                "nothing was searched."));
    EXPECT_EQ(found(), before);
}

TEST_F(TFSearchTest, emptyStringOrCancel_leaveEveryShownFlagAlone) {
    spells[2]->Shown = 0;
    const Names before = found();

    EXPECT_TRUE(search(""));
    EXPECT_FALSE(answer.has_value());
    EXPECT_EQ(found(), before);

    EXPECT_FALSE(search("fire", true, "BitBtn2"));
    EXPECT_FALSE(answer.has_value());
    EXPECT_EQ(found(), before);
    EXPECT_TRUE(history().isEmpty()) << "neither is remembered";
}

TEST_F(TFSearchTest, returnInTheStringRunsTheSearch) {
    EXPECT_TRUE(open(true, [this] {
        QTest::keyClicks(box()->lineEdit(), "mind");
        QTest::keyClick(box()->lineEdit(), Qt::Key_Return);
    }));
    EXPECT_EQ(found(), Names{"Mind Thrust"});
}

TEST_F(TFSearchTest, searchedStringsAreOfferedAgainSortedOncePerSpelling) {
    for (const char* text : {"ice", "fire", "Mind", "FIRE"})
        ASSERT_TRUE(search(text));
    EXPECT_EQ(history(), (QStringList{"FIRE", "ice", "Mind"}));
    EXPECT_EQ(box()->currentText(), "FIRE") << "the last string stays for the next search";

    // Picking an entry searches for it.
    EXPECT_TRUE(open(true, [this] {
        box()->setCurrentIndex(box()->findText("ice"));
        QTest::mouseClick(child<QPushButton>("BitBtn1"), Qt::LeftButton);
    }));
    EXPECT_EQ(found(), Names{"Wall of Ice"});
}

TEST_F(TFSearchTest, historyKeepsTheMostRecentTwentyStrings) {
    for (int i = 1; i <= 22; ++i)
        ASSERT_TRUE(search(QStringLiteral("word%1").arg(i, 2, 10, QLatin1Char('0'))));
    const QStringList entries = history();
    EXPECT_EQ(entries.size(), 20);
    EXPECT_FALSE(entries.contains("word01"));
    EXPECT_FALSE(entries.contains("word02"));
    EXPECT_EQ(entries.first(), "word03");
    EXPECT_EQ(entries.last(), "word22");

    // Searching an old string again makes it recent: the next drop takes another.
    ASSERT_TRUE(search("word03"));
    ASSERT_TRUE(search("word23"));
    EXPECT_TRUE(history().contains("word03"));
    EXPECT_FALSE(history().contains("word04"));
    EXPECT_EQ(history().size(), 20);
}

// Tab reads the rows from left to right, starting at the search string, and
// Space on a focused box changes it.
TEST_F(TFSearchTest, tabGoesThroughTheRowsInReadingOrder) {
    open(true, [this] {
        ASSERT_TRUE(ActivateForKeys(dialog));
        EXPECT_EQ(TabCycle(dialog), "SearchStr BitBtn1 Entire BitBtn2 CN CSC CS CD CSS");
        for (int i = 0; i < 20 && dialog.focusWidget()->objectName() != QLatin1String("CD"); ++i)
            QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Space);
        EXPECT_FALSE(child<QCheckBox>("CD")->isChecked());
        dialog.reject();
    });
}
