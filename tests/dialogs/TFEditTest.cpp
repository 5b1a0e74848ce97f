#include "dialogs/edit/TFEdit.h"

#include "TestSupport.h"
#include "controls/Prompts.h"
#include "controls/ScreenFit.h"
#include "session/SpellSession.h"
#include "spelldata/SpellCollection.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

using spelldata::SpellKind;
using spelldata::SpellRecord;

// Readable failures: the record's fields instead of its bytes. Internal to
// this file, so other test files may print records their own way.
namespace spelldata {
[[maybe_unused]] static void PrintTo(const SpellRecord& r, std::ostream* out) {
    *out << "{kind " << int(r->Kind) << ", level " << int(r->Level) << ", marked " << int(r->Marked)
         << ", shown " << int(r->Shown) << ", reversible " << int(r->Reversible);
    for (const auto& [name, value] : testsupport::RecordFields(r))
        *out << ", " << name << " \"" << value << '"';
    *out << "}";
}
} // namespace spelldata

namespace {

template <typename T> T* child(QWidget& dialog, const char* name) {
    T* found = dialog.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        throw std::runtime_error(std::string("no control ") + name);
    return found;
}

QString textOf(QWidget& dialog, const char* name) {
    QObject* control = dialog.findChild<QObject*>(QString::fromLatin1(name));
    if (auto* combo = qobject_cast<QComboBox*>(control))
        return combo->currentText();
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text();
    if (auto* box = qobject_cast<QTextEdit*>(control))
        return box->toPlainText();
    throw std::runtime_error(std::string("no text control ") + name);
}

// Replaces the text of a one-line field by typing, as a user would.
void type(QWidget& dialog, const char* name, const QString& text) {
    QObject* control = dialog.findChild<QObject*>(QString::fromLatin1(name));
    QWidget* target = qobject_cast<QWidget*>(control);
    if (auto* combo = qobject_cast<QComboBox*>(control))
        target = combo->lineEdit();
    if (auto* edit = qobject_cast<QLineEdit*>(target))
        edit->clear();
    else if (auto* box = qobject_cast<QTextEdit*>(target))
        box->clear();
    else
        throw std::runtime_error(std::string("cannot type into ") + name);
    target->setFocus(); // as the user's click would
    QTest::keyClicks(target, text);
}

// A control, the text it should show, and the text to type over it (none
// when null).
struct Retype {
    const char* control;
    QString shows;
    QString becomes;
};

void retype(QWidget& dialog, std::initializer_list<Retype> fields) {
    for (const Retype& field : fields) {
        EXPECT_EQ(textOf(dialog, field.control), field.shows) << field.control;
        if (!field.becomes.isNull())
            type(dialog, field.control, field.becomes);
    }
}

void choose(QWidget& dialog, const char* name, const QString& item) {
    auto* combo = child<QComboBox>(dialog, name);
    const int index = combo->findText(item);
    if (index < 0)
        throw std::runtime_error(std::string("no item ") + item.toStdString());
    combo->setCurrentIndex(index);
}

void click(QWidget& dialog, const char* name) {
    QTest::mouseClick(child<QAbstractButton>(dialog, name), Qt::LeftButton);
}

class TFEditTest : public ::testing::Test {
protected:
    // Runs EditSpell and does `actions` on the open dialog. The actions end
    // the dialog themselves; one they leave open is a failure and cancelled.
    bool edit(bool existing, int slot, const std::function<void(TFEdit&)>& actions) {
        TFEdit dialog;
        bool ran = false;
        QTimer::singleShot(0, &dialog, [&] {
            ran = true;
            // Active, so that typing reaches the focused field as a user's would.
            dialog.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
            try {
                actions(dialog);
            } catch (const std::exception& e) {
                ADD_FAILURE() << e.what();
            }
            if (dialog.isVisible()) {
                ADD_FAILURE() << "the editor was left open";
                dialog.reject();
            }
        });
        std::optional<SpellRecord> built = dialog.EditSpell(existing ? &spells[slot] : nullptr);
        EXPECT_TRUE(ran) << "the editor was not shown";
        if (!built)
            return false;
        // Stored as the main window stores it: over the old record, or after the last.
        if (!existing)
            return session.addSpell(std::move(*built));
        session.replaceSpell(slot, std::move(*built));
        return true;
    }

    SpellSession session;
    spelldata::SpellCollection& spells = session.rawSpells();
};

TEST_F(TFEditTest, newSpell_startsEmptyAndIsAppendedAtCount) {
    spells.Append(testsupport::FullWizard());
    spells.Append(testsupport::FullPriest());
    const bool saved = edit(false, 2, [](TFEdit& d) {
        EXPECT_EQ(d.windowTitle(), "Spell Editing");
        EXPECT_EQ(d.size(), QSize(620, 414));
        EXPECT_EQ(QApplication::focusWidget(), child<QWidget>(d, "CName"));
        EXPECT_TRUE(child<QPushButton>(d, "BWiz")->isChecked());
        EXPECT_EQ(textOf(d, "CLevel"), "Cantrip");
        for (const char* name : {"CName", "CRange", "CSave", "CSource", "ESphere", "PCost",
                                 "PScore", "EDescription", "CDis"})
            EXPECT_EQ(textOf(d, name), "") << name;
        type(d, "CName", "Frost Veil");
        choose(d, "CLevel", "2nd level Spell");
        choose(d, "CSave", QString::fromUtf8("\u00BD"));
        click(d, "OK");
    });
    SpellRecord expected(SpellKind::Wizard); // no mark, no books
    expected->Name = "Frost Veil";
    expected->Level = 2;
    expected->SavingThrow = "\xBD"; // stored as the Windows-1252 byte
    ASSERT_TRUE(saved);
    ASSERT_EQ(spells.Count(), 3);
    EXPECT_EQ(spells[2], expected);
    EXPECT_EQ(spells[0], testsupport::FullWizard());
}

TEST_F(TFEditTest, kindButtons_showTheirGroupsPresetLevelAndKeepTexts) {
    struct Case {
        const char* button;
        int tag;
        const char* level;
        std::vector<const char*> visible;
    };
    const std::vector<const char*> all = {"WizGroup",    "PsiGroup",        "SphereGroup",
                                          "SchoolGroup", "DisciplineGroup", "WizIcon",
                                          "PriIcon",     "PsiIcon"};
    const Case cases[] = {
        {"BPri", 1, "1st level Spell", {"WizGroup", "SphereGroup", "SchoolGroup", "PriIcon"}},
        {"BPsi", 2, "Devotion", {"PsiGroup", "DisciplineGroup", "PsiIcon"}},
        {"BInfo", 3, "Info", {"PsiIcon"}},
        {"BWiz", 0, "Cantrip", {"WizGroup", "SphereGroup", "WizIcon"}},
    };
    edit(false, 0, [&](TFEdit& d) {
        type(d, "CName", "Kept Name");
        type(d, "CRange", "40 yards");
        type(d, "PCost", "7");
        for (const Case& c : cases) {
            SCOPED_TRACE(c.button);
            click(d, c.button);
            EXPECT_EQ(d.property("Tag").toInt(), c.tag);
            EXPECT_EQ(child<QPushButton>(d, c.button)->property("Tag").toInt(), c.tag);
            EXPECT_EQ(textOf(d, "CLevel"), c.level);
            EXPECT_EQ(child<QComboBox>(d, "CLevel")->isEnabled(), c.tag != 3);
            for (const char* name : all)
                EXPECT_EQ(!child<QWidget>(d, name)->isHidden(),
                          std::find(c.visible.begin(), c.visible.end(), name) != c.visible.end())
                    << name;
        }
        EXPECT_EQ(textOf(d, "CSchool"), "All"); // preset by the priest button
        EXPECT_EQ(textOf(d, "CName"), "Kept Name");
        EXPECT_EQ(textOf(d, "CRange"), "40 yards");
        EXPECT_EQ(textOf(d, "PCost"), "7");
        click(d, "BitBtn1");
    });
}

TEST_F(TFEditTest, OKClick_refusesBadInputWithItsMessageAndStaysOpen) {
    spells.Append(testsupport::FullWizard());
    const SpellRecord before = spells[0];
    const bool saved = edit(true, 0, [](TFEdit& d) {
        const auto refuse = [&d](const char* button, const char* level) {
            click(d, button);
            choose(d, "CLevel", QString::fromLatin1(level));
            PromptScript::Answer(QMessageBox::Cancel);
            click(d, "OK");
            EXPECT_TRUE(d.isVisible());
        };
        type(d, "CName", "");
        refuse("BWiz", "3rd level Spell"); // everything but the name is filled
        type(d, "CName", "Named");
        refuse("BWiz", "Devotion");
        refuse("BPri", "Cantrip");
        refuse("BPsi", "5th level Spell");
        EXPECT_EQ(textOf(d, "CName"), "Named");
        EXPECT_EQ(textOf(d, "CRange"), "30 yards");
        click(d, "BitBtn1");
    });
    EXPECT_FALSE(saved);
    EXPECT_EQ(PromptScript::Messages(),
              QStringList({"Spell must have a Name to be saved",
                           "A Wizard spell must have a level, or be INFO, but cannot be a "
                           "Devotion, Science",
                           "A Priest spell must have a level, or be INFO, but cannot be a "
                           "Devotion, Science or Cantrip",
                           "A Psionic power cannot have levels, and must be either a Devotion "
                           "or Science, or INFO"}));
    EXPECT_EQ(PromptScript::LastIcon(), Prompts::Icon::Error);
    EXPECT_EQ(spells[0], before);
}

TEST_F(TFEditTest, OKClick_acceptsTheLevelsOfEachKind) {
    const std::pair<const char*, int> cases[] = {
        {"BWiz", 0},  {"BWiz", 10}, {"BWiz", 13}, {"BPri", 1},
        {"BPri", 13}, {"BPsi", 11}, {"BPsi", 12}, {"BPsi", 13},
    };
    for (const auto& [button, level] : cases) {
        SCOPED_TRACE(std::string(button) + " level " + std::to_string(level));
        const int slot = spells.Count();
        EXPECT_TRUE(edit(false, slot, [&](TFEdit& d) {
            type(d, "CName", "Levelled");
            click(d, button);
            child<QComboBox>(d, "CLevel")->setCurrentIndex(level);
            click(d, "OK");
        }));
        ASSERT_EQ(spells.Count(), slot + 1);
        EXPECT_EQ(spells[slot]->Level, level);
    }
    EXPECT_TRUE(PromptScript::Messages().isEmpty());
}

TEST_F(TFEditTest, wizard_fieldsAreReadAndWrittenMarksAndBooksKept) {
    // The record is marked, listed and in two books with copy counts: the
    // edited record keeps all of that.
    SpellRecord marked = testsupport::FullWizard();
    marked->Marked = 1;
    marked->Shown = 1;
    spells.Append(marked);
    spells.Append(testsupport::FullPriest());
    EXPECT_TRUE(edit(true, 0, [](TFEdit& d) {
        retype(d, {{"CName", "Cinder Lattice", {}},
                   {"CLevel", "3rd level Spell", {}},
                   {"CRange", "30 yards", "10 yards"}, // not completed to "10 yards/level"
                   {"CSave", QString::fromUtf8("\u00BD"), "Neg."},
                   {"CAOE", "10-foot cube", "The Caster"},
                   {"CComponents", "V, S, M", "V,S"},
                   {"CDuration", "1 round/level", "1 turn"},
                   {"CCastingTime", "3", "1 round"},
                   {"CSource", "Quarvine sample", "Own notes"},
                   {"ESphere", "Evocation, Fire", ""}});
        child<QComboBox>(d, "CSphere")->setCurrentIndex(-1);
        click(d, "SpeedButton4"); // no school chosen: nothing to add
        for (const char* school : {"Elemental(Air)", "Elemental", "Abjuration", "Abjuration"}) {
            choose(d, "CSphere", QString::fromLatin1(school));
            click(d, "SpeedButton4");
        }
        auto* description = child<QTextEdit>(d, "EDescription");
        EXPECT_EQ(description->toPlainText(),
                  QString::fromUtf8("First line.\nSecond line with \u00e9 and \u00ff."));
        description->moveCursor(QTextCursor::End);
        QTest::keyClick(description, Qt::Key_Return);
        QTest::keyClicks(description, "Third.");
        click(d, "OK");
    }));
    SpellRecord expected = marked;
    expected->Range = "10 yards";
    expected->SavingThrow = "Neg.";
    expected->AreaOfEffect = "The Caster";
    expected->School = "Elemental(Air), Abjuration";
    expected.wiz().Components = "V,S";
    expected.wiz().Duration = "1 turn";
    expected.wiz().CastingTime = "1 round";
    expected->Source = "Own notes";
    expected->Description += "\r\nThird.";
    EXPECT_EQ(spells[0], expected);
    EXPECT_EQ(spells[1], testsupport::FullPriest());
}

TEST_F(TFEditTest, priest_fieldsAreReadAndWrittenWithSpheresAdded) {
    spells.Append(testsupport::FullPriest());
    EXPECT_TRUE(edit(true, 0, [](TFEdit& d) {
        EXPECT_TRUE(child<QPushButton>(d, "BPri")->isChecked());
        EXPECT_TRUE(child<QPushButton>(d, "BRev")->isChecked());
        EXPECT_TRUE(child<QLineEdit>(d, "CName")->font().italic());
        retype(d, {{"CLevel", "5th level Spell", {}},
                   {"ESphere", "Evocation, Fire", {}},
                   {"ESchool", "Elemental (Fire)", {}},
                   {"CDuration", "Permanent", "rounds/level"}});
        for (const char* sphere : {"Elemental", "Sun", "Sun"}) {
            choose(d, "CSchool", QString::fromLatin1(sphere));
            click(d, "SpeedButton5");
        }
        click(d, "BRev");
        EXPECT_FALSE(child<QLineEdit>(d, "CName")->font().italic());
        EXPECT_TRUE(child<QLineEdit>(d, "CName")->font().bold());
        click(d, "OK");
    }));
    SpellRecord expected = testsupport::FullPriest();
    expected.pri().Sphere = "Elemental (Fire), Sun";
    expected.pri().Duration = "rounds/level";
    expected->Reversible = 0;
    EXPECT_EQ(spells[0], expected);
}

TEST_F(TFEditTest, psionic_fieldsAreReadAndWritten) {
    spells.Append(testsupport::FullPsionic());
    EXPECT_TRUE(edit(true, 0, [](TFEdit& d) {
        EXPECT_TRUE(child<QPushButton>(d, "BPsi")->isChecked());
        retype(d, {{"CLevel", "Devotion", {}},
                   {"PCost", "12", "8+"},
                   {"PScore", "Int -3", "WIS"},
                   {"PMaint", "6/round", "/turn"},
                   {"PRange", "30 yards", "Touch"},
                   {"PPrep", "0", "Special"},
                   {"PPreq", "Contact", "Mindlink"},
                   {"PAOE", "10-foot cube", "Personal"},
                   {"CDis", "Telepathy", {}}});
        choose(d, "CDis", "Metapsionics");
        choose(d, "CLevel", "Science");
        click(d, "OK");
    }));
    SpellRecord expected = testsupport::FullPsionic();
    spelldata::TPsi& psi = expected.psi();
    psi.InitialCost = "8+";
    psi.PowerScore = "WIS";
    psi.MaintenanceCost = "/turn";
    psi.Range = "Touch";
    psi.PreparationTime = "Special";
    psi.Prerequisites = "Mindlink";
    psi.AreaOfEffect = "Personal";
    psi.School = "Metapsionics";
    psi.Level = spelldata::LevelScience;
    psi.SavingThrow.clear(); // a psionic power has no saving throw field to keep it in
    EXPECT_EQ(spells[0], expected);
}

TEST_F(TFEditTest, disciplineSelection_firstMatchingFragmentWins) {
    const std::pair<const char*, const char*> cases[] = {
        {"Psychometabolism", "Psychometabolism"},
        {"Psychokinesis", "Psychokinesis"},
        {"Psychoportation", "Psychoportation"},
        {"Telepathy", "Telepathy"},
        {"Metapsionics", "Metapsionics"},
        {"Clairsentience", "Clairsentience"},
        {"", ""}, // no discipline shown, none stored
        {"TELEPATHY", "Clairsentience"},
        {"holism, kinesis", "Psychometabolism"},
        {"portal kinesis", "Psychokinesis"},
        {"meta telepathy", "Telepathy"},
    };
    for (const auto& [school, expected] : cases) {
        SCOPED_TRACE(school);
        spells.FreeAllSpells();
        SpellRecord power = testsupport::FullPsionic();
        power->School = school;
        spells.Append(power);
        EXPECT_TRUE(edit(true, 0, [&](TFEdit& d) {
            EXPECT_EQ(textOf(d, "CDis"), expected);
            click(d, "OK");
        }));
        EXPECT_EQ(spells[0]->School, expected);
    }
}

TEST_F(TFEditTest, info_newEntryStoresOnlyTheCommonFields) {
    EXPECT_TRUE(edit(false, 0, [](TFEdit& d) {
        type(d, "CName", "Weather Tables");
        type(d, "CRange", "Touch");
        click(d, "BPsi");
        type(d, "PCost", "9");
        choose(d, "CDis", "Telepathy");
        click(d, "BInfo");
        EXPECT_FALSE(child<QComboBox>(d, "CLevel")->isEnabled());
        type(d, "CSource", "House rules");
        child<QTextEdit>(d, "EDescription")->setPlainText("Rain\nSnow");
        click(d, "BRev");
        click(d, "OK");
    }));
    SpellRecord expected(SpellKind::Psionic);
    expected->Name = "Weather Tables";
    expected->Level = spelldata::LevelInfo;
    expected->Source = "House rules";
    expected->Description = "Rain\r\nSnow";
    expected->Reversible = 1;
    ASSERT_EQ(spells.Count(), 1);
    EXPECT_EQ(spells[0], expected);
}

TEST_F(TFEditTest, info_editingKeepsEntriesAndPowersAsTheyAre) {
    SpellRecord info(SpellKind::Psionic);
    info->Name = "Calendar";
    info->Level = spelldata::LevelInfo;
    info->Source = "Notes";
    info->Description = "Twelve months.\r\n";
    SpellRecord infoPower = testsupport::FullPsionic("Level-less Power");
    infoPower->Level = spelldata::LevelInfo;
    infoPower->SavingThrow.clear();
    spells.Append(info);
    spells.Append(infoPower);

    EXPECT_TRUE(edit(true, 0, [](TFEdit& d) {
        EXPECT_TRUE(child<QPushButton>(d, "BInfo")->isChecked());
        click(d, "OK");
    }));
    EXPECT_TRUE(edit(true, 1, [](TFEdit& d) {
        EXPECT_TRUE(child<QPushButton>(d, "BPsi")->isChecked());
        EXPECT_EQ(textOf(d, "CLevel"), "Info");
        EXPECT_TRUE(child<QComboBox>(d, "CLevel")->isEnabled());
        click(d, "OK");
    }));
    EXPECT_EQ(spells[0], info);
    EXPECT_EQ(spells[1], infoPower);
}

// A description of many lines arrives in the box in steps, and fields far
// beyond a line box's limit show their start only; OK pressed at once still
// stores them whole, and a retyped field replaces the long one.
TEST_F(TFEditTest, longDescriptionAndFields_areStoredWholeByAnImmediateOk) {
    SpellRecord spell = testsupport::FullWizard();
    spell->Name = std::string(1u << 20, 'N') + "end";
    spell->School = std::string(4u << 20, 'S') + "end";
    spell->Source = std::string(4u << 20, 'O') + "end";
    spell->Description.clear();
    for (int i = 0; spell->Description.size() < (256u << 10); ++i)
        spell->Description += "Line " + std::to_string(i) + " of the description.\r\n";
    spells.Append(spell);
    EXPECT_TRUE(edit(true, 0, [](TFEdit& d) {
        EXPECT_LT(child<QLineEdit>(d, "CName")->text().size(), 32767);
        EXPECT_LT(child<QTextEdit>(d, "ESphere")->toPlainText().size(), 32767);
        EXPECT_LT(child<QComboBox>(d, "CSource")->currentText().size(), 32767);
        click(d, "OK");
    }));
    EXPECT_EQ(spells[0]->Description, spell->Description);
    EXPECT_EQ(spells[0]->Name, spell->Name);
    EXPECT_EQ(spells[0]->School, spell->School);
    EXPECT_EQ(spells[0]->Source, spell->Source);
    EXPECT_TRUE(edit(true, 0, [](TFEdit& d) {
        QLineEdit* name = child<QLineEdit>(d, "CName");
        name->selectAll();
        QTest::keyClicks(name, "Short");
        QLineEdit* source = child<QComboBox>(d, "CSource")->lineEdit();
        source->selectAll();
        QTest::keyClicks(source, "Tome");
        click(d, "OK");
    }));
    EXPECT_EQ(spells[0]->Name, "Short");
    EXPECT_EQ(spells[0]->Source, "Tome");
    EXPECT_EQ(spells[0]->School, spell->School);
}

TEST_F(TFEditTest, cancelEscapeAndCloseBox_leaveTheSlotUntouched) {
    spells.Append(testsupport::FullPriest());
    const SpellRecord before = spells[0];
    const std::pair<const char*, std::function<void(TFEdit&)>> ways[] = {
        {"Cancel", [](TFEdit& d) { click(d, "BitBtn1"); }},
        {"Escape", [](TFEdit& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        {"close box", [](TFEdit& d) { d.close(); }},
    };
    for (const auto& [way, close] : ways) {
        SCOPED_TRACE(way);
        EXPECT_FALSE(edit(true, 0, [&close](TFEdit& d) {
            type(d, "CName", "Changed");
            click(d, "BWiz");
            close(d);
        }));
        EXPECT_EQ(spells[0], before);
        EXPECT_FALSE(edit(false, 1, [&close](TFEdit& d) {
            type(d, "CName", "Never Added");
            close(d);
        }));
        EXPECT_EQ(spells.Count(), 1);
    }
}

TEST_F(TFEditTest, oneLineFields_refuseLineBreaks) {
    QApplication::clipboard()->setText(QString::fromUtf8("Fire\r\nball\n\u2029X"));
    const auto paste = [](QWidget* field) {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    };
    EXPECT_TRUE(edit(false, 0, [&](TFEdit& d) {
        paste(child<QLineEdit>(d, "CName"));
        paste(child<QComboBox>(d, "CRange")->lineEdit());
        click(d, "BPsi");
        paste(child<QLineEdit>(d, "PCost"));
        EXPECT_EQ(textOf(d, "PCost"), "FireballX");
        child<QLineEdit>(d, "PPreq")->setText("a\nb");
        EXPECT_EQ(textOf(d, "PPreq"), "ab");
        click(d, "BWiz");
        auto* schools = child<QTextEdit>(d, "ESphere");
        paste(schools);
        // Return is no line break here: it reaches the dialog's OK button.
        QTest::keyClick(schools, Qt::Key_Return);
    }));
    ASSERT_EQ(spells.Count(), 1);
    EXPECT_EQ(spells[0]->Name, "FireballX");
    EXPECT_EQ(spells[0]->Range, "FireballX");
    EXPECT_EQ(spells[0]->School, "FireballX");
}

TEST_F(TFEditTest, editSpell_aFullCollectionRefusesTheNewSpell) {
    const SpellRecord filler = testsupport::FullWizard("Filler");
    while (!spells.Full())
        spells.Append(filler);
    EXPECT_FALSE(edit(false, spelldata::SpellCollection::Capacity, [](TFEdit& d) {
        type(d, "CName", "One Too Many");
        click(d, "OK");
    }));
    EXPECT_EQ(spells.Count(), spelldata::SpellCollection::Capacity);
    EXPECT_EQ(spells[spells.Count() - 1], filler);
}

} // namespace

// On a screen with little room (1366 x 768 at 200% leaves about 683 x 350
// under a panel) the editor fits it: OK and Cancel stay in sight and work,
// and the rest scrolls.
TEST_F(TFEditTest, smallScreen_keepsOkAndCancelInReach) {
    const QRect screen(0, 0, 683, 350);
    EXPECT_TRUE(edit(false, 0, [&](TFEdit& d) {
        FitToArea(&d, QSize(620, 414), screen);
        EXPECT_LE(d.frameGeometry().height(), screen.height());
        for (const char* name : {"OK", "BitBtn1"}) {
            auto* button = child<QWidget>(d, name);
            const QRect shown(button->mapTo(&d, QPoint(0, 0)), button->size());
            EXPECT_TRUE(d.rect().contains(shown)) << name;
        }
        const auto* scroll = d.findChild<QScrollArea*>();
        ASSERT_NE(scroll, nullptr);
        EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0); // the description below
        EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 0);
        type(d, "CName", "Small Screen");
        click(d, "OK");
    }));
    EXPECT_EQ(spells[0]->Name, "Small Screen");
}
