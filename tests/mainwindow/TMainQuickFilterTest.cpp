// The quick filter field: typing narrows the filter run's rows, Enter and
// Escape return to the list, and a filter run drops it.
#include "MainWindowFixture.h"

#include "controls/GuiText.h"
#include "mainwindow/QuickFilterBar.h"
#include "spelldata/Encoding.h"

#include <QLineEdit>

using namespace spelldata;

namespace {

// Types text as a keyboard does, also letters beyond Latin-1 (which
// QTest::keyClicks cannot send).
void type(QWidget* target, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), {});
}

class TMainQuickFilter : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        openFile(copySample());
        panel = window->listPanel();
        list = panel->SList;
        list->setFocus();
    }

    // The offscreen platform leaves the focus with the hidden progress
    // window after a command; a window system gives it back to the main
    // window, whose shortcuts need it.
    void activate() {
        window->activateWindow();
        ASSERT_TRUE(
            QTest::qWaitFor([this] { return QApplication::activeWindow() == window.get(); }));
    }

    QLineEdit* field() const { return panel->QuickBar->field(); }

    // The listed names without their trailing blanks, one a line.
    QString listed() const { return joined(listedNames()); }
    static QString joined(const QStringList& names) {
        QStringList trimmed;
        for (const QString& name : names)
            trimmed << name.trimmed();
        return trimmed.join('\n');
    }

    // Ctrl+K, then the text typed into whatever has the focus.
    void typeFilter(const QString& text) {
        activate();
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(focused ? focused : window.get(), Qt::Key_K, Qt::ControlModifier);
        ASSERT_TRUE(field()->isVisible());
        ASSERT_EQ(QApplication::focusWidget(), field());
        type(field(), text);
    }

    // The names of the filter run's spells whose `text` holds `needle`, in
    // list order, found by Qt's own case folding.
    QString expected(const QString& needle,
                     const std::function<QString(const SpellRecord&)>& text) const {
        QStringList names;
        for (const int slot : window->session()->runRows()) {
            const SpellRecord& r = window->session()->spells()[slot];
            if (text(r).contains(needle, Qt::CaseInsensitive))
                names << FromBytes(r->Name);
        }
        return joined(names);
    }
    QString expectedByName(const QString& needle) const {
        return expected(needle, [](const SpellRecord& r) { return FromBytes(r->Name); });
    }

    void addSpell(const char* utf8Name) {
        SpellRecord r(SpellKind::Wizard);
        r->Name = Utf8ToCp1252(utf8Name);
        r->Level = 1;
        ASSERT_TRUE(window->session()->rawSpells().Append(std::move(r)));
    }

    TListPanel* panel = nullptr;
    SpellListView* list = nullptr;
};

} // namespace

TEST_F(TMainQuickFilter, CtrlKAndTypingNarrowTheListAndTheCounters) {
    typeFilter("LAT");
    const QString found = expectedByName("lat");
    ASSERT_GE(found.count('\n'), 1);
    EXPECT_EQ(listed(), found);
    EXPECT_EQ(labelText("LCur"), QString::number(found.count('\n') + 1));
    EXPECT_EQ(labelText("LMax"), "30");

    // The "of" number is the filter run's, not the collection's.
    click("BPsi");
    click("BEXE");
    typeFilter("e");
    EXPECT_EQ(listed(), expectedByName("e"));
    EXPECT_EQ(labelText("LMax"), QString::number(window->session()->runRows().size()));
    EXPECT_LT(window->session()->runRows().size(), 30u);

    // Emptying the field lists the whole run again, counted as a run is.
    QTest::keyClick(field(), Qt::Key_Backspace);
    EXPECT_EQ(window->session()->rows(), window->session()->runRows());
    EXPECT_EQ(labelText("LCur"), QString::number(window->session()->runRows().size()));
    EXPECT_EQ(labelText("LMax"), "30");
}

TEST_F(TMainQuickFilter, PrefixesSearchDescriptionsSchoolsAndSources) {
    const SpellRecord& first = window->session()->spells()[window->session()->runRows()[3]];
    const QString word = FromBytes(first->Description).section(' ', 2, 2).toUpper();
    typeFilter("d: " + word);
    EXPECT_EQ(listed(), expected(word, [](const SpellRecord& r) {
                  return FromBytes(r->Name) + "\n" + FromBytes(r->Description);
              }));
    EXPECT_TRUE(listedNames().contains(FromBytes(first->Name)));

    const QString school = FromBytes(first->School).left(4);
    field()->clear();
    type(field(), "s:" + school);
    EXPECT_EQ(listed(), expected(school, [](const SpellRecord& r) {
                  return FromBytes(r->School) + "\n" +
                         (r.kind() == SpellKind::Priest ? FromBytes(r.pri().Sphere) : QString());
              }));

    const QString source = FromBytes(first->Source).right(3);
    field()->clear();
    type(field(), "SRC:" + source);
    EXPECT_EQ(listed(),
              expected(source, [](const SpellRecord& r) { return FromBytes(r->Source); }));
    EXPECT_FALSE(listedNames().isEmpty());
}

TEST_F(TMainQuickFilter, AccentedCapitalsMatchTheirSmallLetters) {
    addSpell("Éclat de Lune");
    addSpell("Œil du Basilic");
    addSpell("Žižkov Šield");
    addSpell("ŸVONNE'S ÞORN");
    click("BEXE");
    typeFilter("éclat");
    EXPECT_EQ(listed(), "Éclat de Lune");
    field()->clear();
    type(field(), "œIL");
    EXPECT_EQ(listed(), "Œil du Basilic");
    field()->clear();
    type(field(), "žižkov šie");
    EXPECT_EQ(listed(), "Žižkov Šield");
    field()->clear();
    type(field(), "ÿvonne's þ");
    EXPECT_EQ(listed(), "ŸVONNE'S ÞORN");
    // A character the collection cannot hold finds nothing.
    field()->clear();
    type(field(), "Ж");
    EXPECT_TRUE(listedNames().isEmpty());
    EXPECT_EQ(labelText("LCur"), "0");
}

TEST_F(TMainQuickFilter, EscapeRestoresTheRunAndEnterGoesToTheFirstRow) {
    typeFilter("ember");
    ASSERT_EQ(listed(), expectedByName("ember"));
    QTest::keyClick(field(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), list);
    EXPECT_EQ(list->selectedRow(), 0);
    EXPECT_EQ(window->quickView()->windowTitle(), listedNames().front());

    // Back in the field, Escape lists the whole run on the chosen spell.
    const int chosen = window->selectedSlot();
    QTest::mouseClick(field(), Qt::LeftButton);
    QTest::keyClick(field(), Qt::Key_Escape);
    EXPECT_FALSE(field()->isVisible());
    EXPECT_TRUE(field()->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), list);
    EXPECT_EQ(window->listModel()->rowCount(), 30);
    EXPECT_EQ(window->selectedSlot(), chosen);
    EXPECT_EQ(labelText("LCur"), "30");
}

TEST_F(TMainQuickFilter, TheButtonOpensTheFieldAndAFilterRunDropsIt) {
    activate();
    QTest::mouseClick(panel->BQuick, Qt::LeftButton);
    ASSERT_TRUE(field()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), field());
    type(field(), "stone");
    ASSERT_EQ(window->listModel()->rowCount(), 1);

    click("BEXE");
    EXPECT_FALSE(field()->isVisible());
    EXPECT_TRUE(field()->text().isEmpty());
    EXPECT_EQ(window->listModel()->rowCount(), 30);
    EXPECT_EQ(labelText("LCur"), "30");
}

TEST_F(TMainQuickFilter, EditedAndDeletedSpellsNeverMatchTheirOldText) {
    typeFilter("choir");
    ASSERT_EQ(listed(), "Stone Choir");
    const int slot = window->session()->rows().front();
    SpellRecord renamed = window->session()->spells()[slot];
    renamed->Name = "Stone Chorus";
    window->session()->replaceSpell(slot, renamed);
    // "choi" was searched before the edit; the renamed spell has no "choi".
    QTest::keyClick(field(), Qt::Key_Backspace);
    EXPECT_TRUE(listedNames().isEmpty());

    // Deleting moves the last spell into the hole: its slot shows its own name.
    field()->clear();
    const int last = window->session()->spells().Count() - 1;
    const QString lastName = FromBytes(window->session()->spells()[last]->Name);
    window->session()->removeSpell(slot);
    type(field(), lastName.toLower());
    EXPECT_EQ(listed(), lastName.trimmed());
    EXPECT_EQ(labelText("LMax"), "29");
}
