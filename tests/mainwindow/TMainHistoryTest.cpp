// Undo and redo from the keyboard, the Edit menu's texts and the title's
// modified marker.
#include "MainWindowFixture.h"

#include "dialogs/edit/TFEdit.h"
#include "spelldata/DataFile.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenuBar>
#include <QTimer>

namespace {

class TMainHistory : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        openFile(copySample());
        QApplication::setActiveWindow(window.get());
        list = window->listPanel()->SList;
    }
    QPoint rowPoint(int row, int x) const {
        const QRect r = list->visualRect(window->listModel()->index(row));
        return {r.left() + x, r.center().y()};
    }
    void clickRow(int row, int x) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowPoint(row, x));
    }
    // The name as the list and the steps' texts show it.
    QString rowName(int row) const {
        return QString::fromStdString(
                   window->session()->spells()[window->listModel()->slotAt(row)]->Name)
            .trimmed();
    }
    void doubleClickRow(int row) {
        clickRow(row, 120);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rowPoint(row, 120));
    }
    // Types `name` into the editor once it is shown and presses OK.
    void answerEditor(const QString& name) {
        QTimer::singleShot(0, window.get(), [name] {
            auto* editor = qobject_cast<TFEdit*>(QApplication::activeModalWidget());
            ASSERT_NE(editor, nullptr) << "the editor is not open";
            editor->findChild<QLineEdit*>("CName")->setText(name);
            QTest::mouseClick(editor->findChild<QAbstractButton*>("OK"), Qt::LeftButton);
        });
    }
    // Keys to the focused widget of the window, active again after a prompt.
    void keys(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QApplication::setActiveWindow(window.get());
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        QTest::keyClick(focused, key, modifiers);
    }
    QString undoText() const { return control<QAction>("MUndo")->text(); }
    QString redoText() const { return control<QAction>("MRedo")->text(); }

    SpellListView* list = nullptr;
};

} // namespace

TEST_F(TMainHistory, KeysTakeBackAMarkAndADeleteAndTheTitleFollows) {
    const QString title = "Quarvine 6.20 - sample.Dat";
    EXPECT_EQ(window->windowTitle(), title);
    const QList<QAction*> menus = window->menuBar()->actions();
    ASSERT_GE(menus.size(), 3);
    EXPECT_EQ(menus[1]->text(), "&Edit");
    EXPECT_EQ(menus[2]->text(), "&Window");
    EXPECT_FALSE(control<QAction>("MUndo")->isEnabled());
    EXPECT_EQ(undoText(), "Undo");

    const QString marked = rowName(2);
    clickRow(2, 8); // the mark column
    ASSERT_EQ(labelText("LMark"), "1");
    EXPECT_EQ(undoText(), "Undo Mark " + marked);
    EXPECT_EQ(window->windowTitle(), title + "*");

    const QStringList listed = listedNames();
    const QString deleted = rowName(4);
    clickRow(4, 100);
    PromptScript::Answer(QMessageBox::Ok);
    QTest::keyClick(list, Qt::Key_Delete);
    ASSERT_EQ(labelText("LMax"), "29");
    EXPECT_EQ(undoText(), "Undo Delete " + deleted);

    list->setFocus(); // back from the question
    keys(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(listedNames(), listed); // back in its row, the others as they were
    EXPECT_EQ(labelText("LMax"), "30");
    EXPECT_EQ(labelText("LCur"), "30");
    EXPECT_EQ(redoText(), "Redo Delete " + deleted);
    keys(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(labelText("LMark"), "0");
    EXPECT_EQ(window->windowTitle(), title); // as it was opened
    EXPECT_FALSE(control<QAction>("MUndo")->isEnabled());

    keys(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(labelText("LMark"), "1");
    EXPECT_EQ(rowName(2), marked);
    keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(labelText("LMax"), "29");
    EXPECT_FALSE(listedNames().contains(listed[4]));
    EXPECT_EQ(window->windowTitle(), title + "*");
    EXPECT_EQ(undoText(), "Undo Delete " + deleted);
}

// A Quick Info window follows its spell when an undo moves it back to the
// last slot, and shows it as the undo of its edit leaves it.
TEST_F(TMainHistory, QuickInfoWindowsShowTheirSpellAsUndoLeavesIt) {
    const int last = window->session()->spells().Count() - 1;
    const QString old = rowName(window->session()->rowOfSlot(last));
    const QStringList listed = listedNames();
    click("BEdit");
    answerEditor("Renamed Spell");
    doubleClickRow(window->session()->rowOfSlot(last));
    ASSERT_TRUE(listedNames().contains("Renamed Spell"));
    click("BEdit");

    // Deleting another spell moves the renamed one, the last, into its slot.
    const int other = listedNames().indexOf("Renamed Spell") == 1 ? 2 : 1;
    clickRow(other, 120);
    PromptScript::Answer(QMessageBox::Ok);
    QTest::keyClick(list, Qt::Key_Delete);
    ASSERT_EQ(labelText("LMax"), "29");
    ASSERT_LT(window->session()->rowOfSlot(last), 0);
    doubleClickRow(static_cast<int>(listedNames().indexOf("Renamed Spell")));
    auto* info = qobject_cast<TFInfo*>(window->mdiArea()->activeSubWindow());
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(info->tag(), 0);
    EXPECT_EQ(info->windowTitle(), "Renamed Spell");

    keys(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(info->windowTitle(), "Renamed Spell");
    keys(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(info->windowTitle().trimmed(), old);
    EXPECT_EQ(undoText(), "Undo");
    EXPECT_EQ(listedNames(), listed); // in order again
    keys(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(info->windowTitle(), "Renamed Spell");
}

// The book box follows a book's addition and deletion taken back.
TEST_F(TMainHistory, TheBookBoxFollowsUndoneBookSteps) {
    QComboBox* books = window->listPanel()->CBooks;
    PromptScript::Text("Travel");
    click("BAddBook");
    ASSERT_EQ(books->currentText(), "Travel");
    EXPECT_EQ(undoText(), "Undo Add Book Travel");
    list->setFocus();
    keys(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(books->findText("Travel"), -1);
    EXPECT_EQ(books->currentIndex(), 0);
    keys(Qt::Key_Y, Qt::ControlModifier);
    ASSERT_GE(books->findText("Travel"), 0);

    books->setCurrentIndex(books->findText("Travel"));
    PromptScript::Answer(QMessageBox::Ok);
    click("BDelBook");
    EXPECT_EQ(books->findText("Travel"), -1);
    keys(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_GE(books->findText("Travel"), 0);
    EXPECT_EQ(undoText(), "Undo Add Book Travel");
}

// A run that found nothing hides the empty list; the spell an undo brings
// back is listed in it, shown, and in the Quick View.
TEST_F(TMainHistory, AnUndoShowsTheListARunLeftEmpty) {
    spelldata::SpellCollection one;
    one.Append(testsupport::FullWizard("Lone Spell"));
    ASSERT_TRUE(spelldata::WriteDataFile(one, spelldata::InitialBookList(), dir.file("one")).ok());
    openFile(file("one.Dat"));
    clickRow(0, 120);
    PromptScript::Answer(QMessageBox::Ok);
    QTest::keyClick(list, Qt::Key_Delete);
    PromptScript::Answer(QMessageBox::Ok); // nothing found, not even in the full list
    click("BEXE");
    ASSERT_FALSE(list->isVisible());
    keys(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(listedNames(), QStringList{"Lone Spell"});
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(window->quickView()->windowTitle(), "Lone Spell");
}
