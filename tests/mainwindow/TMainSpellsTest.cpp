// The list's mouse columns, marking and the delete command.
#include "MainWindowFixture.h"

#include <QMdiArea>

using namespace spelldata;

namespace {

class TMainSpells : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        openFile(copySample());
        list = window->listPanel()->SList;
    }

    QPoint at(int row, int x) const {
        return QPoint(x, list->visualRect(window->listModel()->index(row)).center().y());
    }
    void press(int row, int x, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(list->viewport(), button, {}, at(row, x));
        QTest::mouseRelease(list->viewport(), button, {}, at(row, x));
    }
    // A double-click as the system delivers it: a press and release, then
    // the double-click event in place of the second press.
    void doubleClick(int row, int x) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at(row, x));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at(row, x));
    }
    SpellRecord& spellOfRow(int row) {
        return window->session()->rawSpells()[window->listModel()->slotAt(row)];
    }
    void chooseBook(int position) {
        window->listPanel()->CBooks->setCurrentIndex(
            window->listPanel()->CBooks->findText(QString::fromLatin1(
                window->session()->rawBooks()[static_cast<std::size_t>(position)].c_str())));
    }
    // The counter and the marks agree.
    void expectMarkedCountHolds() {
        EXPECT_EQ(window->session()->rawSpells().MarkedCount(),
                  window->session()->rawSpells().CountMarked());
        EXPECT_EQ(labelText("LMark").toInt(), window->session()->rawSpells().MarkedCount());
    }

    SpellListView* list = nullptr;
};

} // namespace

TEST_F(TMainSpells, PressesActByColumnAtTheEdges) {
    chooseBook(1);
    press(2, 17);
    EXPECT_EQ(spellOfRow(2)->Marked, 1);
    EXPECT_EQ(labelText("LMark"), "1");
    const bool member = spellOfRow(2)->BookSet.test(1);
    press(2, 18);
    EXPECT_NE(spellOfRow(2)->BookSet.test(1), member);
    press(2, 36);
    EXPECT_EQ(spellOfRow(2)->BookSet.test(1), member);
    if (!member)
        press(2, 30);
    ASSERT_TRUE(spellOfRow(2)->BookSet.test(1));
    EXPECT_EQ(spellOfRow(2)->BookCounts[1], 0); // membership changes reset the count
    press(2, 37);
    press(2, 55);
    EXPECT_EQ(spellOfRow(2)->BookCounts[1], 2);
    press(2, 56);
    press(2, 74);
    EXPECT_EQ(spellOfRow(2)->BookCounts[1], 2);
    EXPECT_EQ(spellOfRow(2)->Marked, 1);
    expectMarkedCountHolds();
}

TEST_F(TMainSpells, RightPressesActOnTheRowSelectedBefore) {
    chooseBook(1);
    press(3, 30); // select row 3 and make it a member
    ASSERT_TRUE(spellOfRow(3)->BookSet.test(1));
    spellOfRow(3)->BookCounts[1] = 4;
    const std::uint8_t otherBefore = spellOfRow(6)->BookCounts[1];
    press(6, 40, Qt::RightButton);
    EXPECT_EQ(spellOfRow(3)->BookCounts[1], 3);
    EXPECT_EQ(spellOfRow(6)->BookCounts[1], otherBefore);
    EXPECT_EQ(list->selectedRow(), 3);
    spellOfRow(3)->BookCounts[1] = 0;
    press(3, 40, Qt::RightButton);
    EXPECT_EQ(spellOfRow(3)->BookCounts[1], 0);
    spellOfRow(3)->BookCounts[1] = 255;
    spellOfRow(3)->BookCounts[2] = 9;
    press(3, 40);
    EXPECT_EQ(spellOfRow(3)->BookCounts[1], 255);
    EXPECT_EQ(spellOfRow(3)->BookCounts[2], 9);
}

TEST_F(TMainSpells, BookColumnsDoNothingWithoutAChosenBook) {
    const BookBits before = spellOfRow(1)->BookSet;
    press(1, 20);
    press(1, 40);
    EXPECT_EQ(spellOfRow(1)->BookSet, before);
}

TEST_F(TMainSpells, UnmarkingTheLastMarkReleasesTheMarkFilter) {
    press(0, 5);
    window->listPanel()->BMark->setChecked(true);
    press(0, 5);
    EXPECT_FALSE(window->listPanel()->BMark->isChecked());
    click("BMark");
    EXPECT_FALSE(window->listPanel()->BMark->isChecked());
    expectMarkedCountHolds();
}

TEST_F(TMainSpells, ReverseAndUnmarkCoverUnlistedSpells) {
    click("BPsi");
    click("BEXE"); // psionic spells are now unlisted
    for (int row : {0, 1, 2})
        press(row, 5);
    click("BRevMark");
    EXPECT_EQ(window->session()->rawSpells().MarkedCount(), 27);
    expectMarkedCountHolds();
    click("BRevMark");
    EXPECT_EQ(window->session()->rawSpells().MarkedCount(), 3);
    for (int row : {0, 1, 2})
        EXPECT_EQ(spellOfRow(row)->Marked, 1);
    window->listPanel()->BMark->setChecked(true);
    click("BUnmark");
    EXPECT_EQ(window->session()->rawSpells().CountMarked(), 0);
    EXPECT_FALSE(window->listPanel()->BMark->isChecked());
    expectMarkedCountHolds();
}

TEST_F(TMainSpells, DeletingKeepsEveryRowOnItsSpell) {
    click("BPri");
    click("BEXE"); // a partial list
    press(3, 5);   // mark the spell that will be deleted
    std::vector<std::string> names;
    for (int row = 0; row < window->listModel()->rowCount(); ++row)
        names.push_back(spellOfRow(row)->Name);
    const std::string deleted = spellOfRow(3)->Name;
    PromptScript::Answer(QMessageBox::Ok);
    click("SpeedButton4");
    EXPECT_EQ(PromptScript::Messages().back(),
              "Do you wish to delete spell: " + QString::fromStdString(deleted) + " ?");
    names.erase(names.begin() + 3);
    ASSERT_EQ(window->listModel()->rowCount(), static_cast<int>(names.size()));
    for (int row = 0; row < window->listModel()->rowCount(); ++row)
        EXPECT_EQ(spellOfRow(row)->Name, names[static_cast<std::size_t>(row)]) << row;
    EXPECT_EQ(window->session()->rawSpells().Count(), 29);
    EXPECT_EQ(labelText("LMax"), "29");
    EXPECT_EQ(labelText("LCur"), QString::number(names.size()));
    EXPECT_EQ(list->selectedRow(), 0);
    expectMarkedCountHolds();
}

TEST_F(TMainSpells, DeletingRowZeroAndTheLastSlotWorks) {
    list->selectRow(0);
    PromptScript::Answer(QMessageBox::Ok);
    click("SpeedButton4");
    EXPECT_EQ(window->session()->rawSpells().Count(), 29);
    const int lastSlot = window->session()->rawSpells().Count() - 1;
    const int row = static_cast<int>(std::find(window->listModel()->rowSlots().begin(),
                                               window->listModel()->rowSlots().end(), lastSlot) -
                                     window->listModel()->rowSlots().begin());
    const std::string lastName = window->session()->rawSpells()[lastSlot]->Name;
    list->selectRow(row);
    PromptScript::Answer(QMessageBox::Ok);
    click("SpeedButton4");
    EXPECT_EQ(window->session()->rawSpells().Count(), 28);
    for (const SpellRecord& r : window->session()->rawSpells())
        EXPECT_NE(r->Name, lastName);
    PromptScript::Answer(QMessageBox::Cancel);
    click("SpeedButton4");
    EXPECT_EQ(window->session()->rawSpells().Count(), 28);
}

TEST_F(TMainSpells, DeleteWithNoSelectionAsksForOne) {
    list->selectionModel()->clearSelection();
    PromptScript::Answer(QMessageBox::Cancel);
    click("SpeedButton4");
    EXPECT_EQ(PromptScript::Messages().back(), "First select a spell!");
    EXPECT_EQ(window->session()->rawSpells().Count(), 30);
}

TEST_F(TMainSpells, DoubleClickOnANameOpensAQuickInfoWindow) {
    QMdiArea* area = window->mdiArea();
    const int before = static_cast<int>(area->subWindowList().size());
    doubleClick(4, 120);
    ASSERT_EQ(area->subWindowList().size(), before + 1);
    auto* opened = qobject_cast<TFInfo*>(area->activeSubWindow());
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->tag(), 0);
    EXPECT_EQ(opened->windowTitle(), QString::fromStdString(spellOfRow(4)->Name));
    list->selectRow(7); // the quick view follows, the new window does not
    EXPECT_EQ(window->quickView()->windowTitle(), QString::fromStdString(spellOfRow(7)->Name));
    EXPECT_EQ(opened->windowTitle(), QString::fromStdString(spellOfRow(4)->Name));
    // A double-click on the level code opens nothing; on the mark column it
    // toggles the mark twice.
    doubleClick(4, 60);
    const std::uint8_t mark = spellOfRow(4)->Marked;
    doubleClick(4, 5);
    EXPECT_EQ(spellOfRow(4)->Marked, mark);
    EXPECT_EQ(area->subWindowList().size(), before + 1);
}
