// Adding and editing spells through the editor from the main window.
#include "MainWindowFixture.h"

#include "dialogs/edit/TFEdit.h"

#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QTimer>

using namespace spelldata;

namespace {

class TMainEditor : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        openFile(copySample());
    }

    // Answers the editor once it is shown: types `name` (unless empty) and
    // presses OK, or cancels when `ok` is false.
    void answerEditor(const QString& name, bool ok, const char* kindButton = nullptr) {
        QTimer::singleShot(0, window.get(), [name, ok, kindButton] {
            auto* editor = qobject_cast<TFEdit*>(QApplication::activeModalWidget());
            ASSERT_NE(editor, nullptr) << "the editor is not open";
            if (kindButton)
                QTest::mouseClick(editor->findChild<QAbstractButton*>(kindButton), Qt::LeftButton);
            if (!name.isEmpty())
                editor->findChild<QLineEdit*>("CName")->setText(name);
            QTest::mouseClick(editor->findChild<QAbstractButton*>(ok ? "OK" : "BitBtn1"),
                              Qt::LeftButton);
        });
    }
};

} // namespace

TEST_F(TMainEditor, AddingASpellOfEachKindListsIt) {
    const struct {
        const char* button;
        const char* name;
        SpellKind kind;
        bool info;
    } kinds[] = {{"BWiz", "Added Wizard", SpellKind::Wizard, false},
                 {"BPri", "Added Prayer", SpellKind::Priest, false},
                 {"BPsi", "Added Power", SpellKind::Psionic, false},
                 {"BInfo", "Added Info", SpellKind::Psionic, true}};
    int count = 30;
    for (const auto& k : kinds) {
        answerEditor(k.name, true, k.button);
        click("SpeedButton3");
        ASSERT_EQ(window->session()->rawSpells().Count(), ++count) << k.name;
        const SpellRecord& added = window->session()->rawSpells()[count - 1];
        EXPECT_EQ(added->Name, k.name);
        EXPECT_EQ(added.kind(), k.kind);
        EXPECT_EQ(added.isInfo(), k.info) << k.name;
        EXPECT_TRUE(listedNames().contains(k.name));
        EXPECT_EQ(labelText("LMax"), QString::number(count));
        EXPECT_EQ(window->listPanel()->SList->selectedRow(), 0);
    }
}

TEST_F(TMainEditor, ACancelledAddChangesNothing) {
    answerEditor(QString(), false);
    click("SpeedButton3");
    EXPECT_EQ(window->session()->rawSpells().Count(), 30);
}

TEST_F(TMainEditor, EditOnDoubleClickReplacesTheSpellAndKeepsItsMarksAndBooks) {
    QTest::mouseClick(control("BEdit"), Qt::LeftButton);
    ASSERT_TRUE(window->listPanel()->BEdit->isChecked());
    SpellListView* list = window->listPanel()->SList;
    const QPoint name(120, list->visualRect(window->listModel()->index(3)).center().y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, name);
    const int slot = window->listModel()->slotAt(3);
    window->session()->rawSpells().SetMarked(slot, true);
    window->session()->rawSpells()[slot]->BookSet.set(2, true);
    window->session()->rawSpells()[slot]->BookCounts[2] = 4;
    answerEditor("Edited Name", true);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, name);
    const SpellRecord& edited = window->session()->rawSpells()[slot];
    EXPECT_EQ(edited->Name, "Edited Name");
    EXPECT_EQ(edited->Marked, 1);
    EXPECT_TRUE(edited->BookSet.test(2));
    EXPECT_EQ(edited->BookCounts[2], 4);
    EXPECT_TRUE(listedNames().contains("Edited Name"));
    EXPECT_EQ(window->mdiArea()->subWindowList().size(), 1); // no quick info window opened
}

TEST_F(TMainEditor, EditModeClosesQuickInfoWindowsAfterSaying) {
    window->listPanel()->SList->selectRow(1);
    window->SListDblClick();
    ASSERT_EQ(window->mdiArea()->subWindowList().size(), 2);
    PromptScript::Answer(QMessageBox::Ok);
    click("BEdit");
    EXPECT_EQ(PromptScript::Messages().back(), "Closing all Quick Info windows");
    EXPECT_EQ(window->mdiArea()->subWindowList().size(), 1);
    click("BEdit");
    click("BEdit"); // only the quick view is open now: no message
    EXPECT_EQ(PromptScript::Messages().size(), 1);
}

TEST_F(TMainEditor, AFullCollectionRefusesToAdd) {
    SpellRecord filler;
    while (!window->session()->rawSpells().Full())
        window->session()->rawSpells().Append(filler);
    PromptScript::Answer(QMessageBox::Ok);
    click("SpeedButton3");
    EXPECT_EQ(PromptScript::Messages().back(), "Range check error");
    EXPECT_EQ(window->session()->rawSpells().Count(), SpellCollection::Capacity);
}
