// The keyboard on the spell list, and files dropped on the main window.
#include "MainWindowFixture.h"

#include "controls/THistoryComboBox.h"
#include "spelldata/FileIO.h"

#include <QAction>
#include <QMdiArea>
#include <QMimeData>
#include <QUrl>

using namespace spelldata;

namespace {

class TMainKeyboard : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        openFile(copySample());
        list = window->listPanel()->SList;
        list->setFocus();
    }
    void key(Qt::Key k) { QTest::keyClick(list, k); }
    SpellRecord& selectedSpell() { return window->session()->rawSpells()[window->selectedSlot()]; }

    SpellListView* list = nullptr;
};

// Delivers a drop of `path` on the main window, as the window system would.
void drop(QWidget* target, const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &dropped);
}

} // namespace

TEST_F(TMainKeyboard, ArrowsPagesAndEndsMoveTheSelectionAndTheQuickViewFollows) {
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_EQ(list->selectedRow(), 2);
    EXPECT_EQ(window->quickView()->windowTitle(), QString::fromStdString(selectedSpell()->Name));
    key(Qt::Key_End);
    EXPECT_EQ(list->selectedRow(), 29);
    key(Qt::Key_Home);
    EXPECT_EQ(list->selectedRow(), 0);
    key(Qt::Key_PageDown);
    EXPECT_GT(list->selectedRow(), 2);
}

TEST_F(TMainKeyboard, TypingANameFindsIt) {
    QTest::keyClicks(list, "Stone");
    EXPECT_EQ(QString::fromStdString(selectedSpell()->Name).trimmed(), "Stone Choir");
}

TEST_F(TMainKeyboard, SpaceMarksEnterOpensDeleteDeletes) {
    key(Qt::Key_Down);
    key(Qt::Key_Space);
    EXPECT_EQ(selectedSpell()->Marked, 1);
    EXPECT_EQ(labelText("LMark"), "1");
    key(Qt::Key_Space);
    EXPECT_EQ(selectedSpell()->Marked, 0);

    const int windows = static_cast<int>(window->mdiArea()->subWindowList().size());
    key(Qt::Key_Return);
    EXPECT_EQ(window->mdiArea()->subWindowList().size(), windows + 1);

    list->setFocus();
    const QString name = QString::fromStdString(selectedSpell()->Name);
    PromptScript::Answer(QMessageBox::Ok);
    key(Qt::Key_Delete);
    EXPECT_EQ(PromptScript::Messages().back(), "Do you wish to delete spell: " + name + " ?");
    EXPECT_EQ(window->session()->rawSpells().Count(), 29);
}

TEST_F(TMainKeyboard, StarPlusAndMinusKeepBooksAndCopies) {
    window->listPanel()->CBooks->setCurrentIndex(1);
    key(Qt::Key_Down);
    const bool member = selectedSpell()->BookSet.test(1);
    QTest::keyClick(list, '*');
    EXPECT_NE(selectedSpell()->BookSet.test(1), member);
    if (member)
        QTest::keyClick(list, '*');
    ASSERT_TRUE(selectedSpell()->BookSet.test(1));
    QTest::keyClick(list, '+', Qt::ShiftModifier);
    QTest::keyClick(list, '+');
    EXPECT_EQ(selectedSpell()->BookCounts[1], 2);
    QTest::keyClick(list, '-');
    EXPECT_EQ(selectedSpell()->BookCounts[1], 1);
    EXPECT_TRUE(window->listPanel()->SList->nameArea()); // keys are not presses on the list
}

TEST_F(TMainKeyboard, MenuCommandsHaveTheirShortcuts) {
    const struct {
        const char* action;
        QKeySequence keys;
    } shortcuts[] = {
        {"MOpenData", QKeySequence("Ctrl+O")},    {"MSaveData", QKeySequence("Ctrl+S")},
        {"MPrint", QKeySequence("Ctrl+P")},       {"MImportText", QKeySequence("Ctrl+T")},
        {"MSaveText", QKeySequence("Ctrl+F")},    {"Tile1", QKeySequence("Ctrl+I")},
        {"CasCade1", QKeySequence("Ctrl+C")},     {"CloseAllWindows1", QKeySequence("Ctrl+A")},
        {"MBringToFront", QKeySequence("Ctrl+B")}};
    for (const auto& s : shortcuts)
        EXPECT_EQ(control<QAction>(s.action)->shortcut(), s.keys) << s.action;
}

TEST_F(TMainKeyboard, IconButtonsHaveAccessibleNames) {
    for (QToolButton* button : window->findChildren<QToolButton*>()) {
        const bool ours = !button->objectName().startsWith("qt_"); // Qt's own menu-bar button
        if (ours && (button->text().isEmpty() || !button->icon().isNull())) {
            EXPECT_FALSE(button->accessibleName().isEmpty()) << button->objectName().toStdString();
        }
    }
}

TEST_F(TMainKeyboard, DroppingADataFileOpensItAndATextFileImportsIt) {
    const QString second = copySample("second");
    window->session()->rawSpells()[0]->Name = "changed before the drop";
    drop(window.get(), second);
    EXPECT_EQ(window->fileBox()->currentText(), second);
    EXPECT_EQ(window->session()->rawSpells().Count(), 30);

    testsupport::WriteBytes(dir.file("dropped.txt"), testsupport::ReadBytes(testsupport::SourcePath(
                                                         "samples/sample-spells.txt")));
    PromptScript::Answer(QMessageBox::No); // the import asks before saving the new data file
    drop(window.get(), file("dropped.txt"));
    EXPECT_EQ(window->fileBox()->currentText(), file("dropped.Dat"));
    EXPECT_EQ(window->session()->rawSpells().Count(), 30);
    EXPECT_FALSE(CanOpenFile(dir.file("dropped.Dat")));
}
