// The filter run: levels, kinds, marks, scope, the messages and the restore path.
#include "MainWindowFixture.h"

#include <QCheckBox>

using namespace spelldata;

namespace {

class TMainFilter : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        openFile(copySample());
        panel = window->listPanel();
    }

    // Every listed spell has Shown set, every other has it clear, and the
    // counter says how many rows there are.
    void expectShownMatchesRows() {
        std::vector<int> shown(static_cast<std::size_t>(window->session()->rawSpells().Count()), 0);
        for (const int slot : window->listModel()->rowSlots())
            shown[static_cast<std::size_t>(slot)] = 1;
        for (int slot = 0; slot < window->session()->rawSpells().Count(); ++slot)
            EXPECT_EQ(window->session()->rawSpells()[slot]->Shown,
                      shown[static_cast<std::size_t>(slot)])
                << slot;
        EXPECT_EQ(labelText("LCur").toInt(), window->listModel()->rowCount());
    }

    void setAllLevels(bool down) {
        for (QToolButton* b : panel->levelButtons)
            b->setChecked(down);
    }

    TListPanel* panel = nullptr;
};

} // namespace

TEST_F(TMainFilter, LevelAndKindButtonsNarrowTheList) {
    setAllLevels(false);
    panel->levelButton(3)->setChecked(true);
    click("BEXE");
    for (const int slot : window->listModel()->rowSlots())
        EXPECT_EQ(window->session()->rawSpells()[slot]->Level, 3);
    EXPECT_EQ(window->listModel()->rowCount(), 2);
    expectShownMatchesRows();

    click("Ball");
    click("BPri");
    click("BPsi");
    click("BEXE");
    for (const int slot : window->listModel()->rowSlots())
        EXPECT_EQ(window->session()->rawSpells()[slot].kind(), SpellKind::Wizard);
    EXPECT_EQ(labelText("LCur"), "13");
    expectShownMatchesRows();
}

TEST_F(TMainFilter, NoLevelOrNoKindIsRefusedWithTheirMessages) {
    setAllLevels(false);
    PromptScript::Answer(QMessageBox::Ok);
    click("BEXE");
    EXPECT_EQ(PromptScript::Messages().back(), "At least one level must be selected!");
    EXPECT_TRUE(panel->levelButton(1)->isChecked());
    for (const int slot : window->listModel()->rowSlots())
        EXPECT_EQ(window->session()->rawSpells()[slot]->Level, 1);
    EXPECT_EQ(window->listModel()->rowCount(), 4);

    click("Ball");
    for (QToolButton* b : {panel->BWiz, panel->BPri, panel->BPsi})
        b->setChecked(false);
    PromptScript::Answer(QMessageBox::Ok);
    click("BEXE");
    EXPECT_EQ(PromptScript::Messages().back(), "At least one spell type must be selected!");
    EXPECT_TRUE(panel->BWiz->isChecked());
    EXPECT_EQ(window->listModel()->rowCount(), 13);
}

TEST_F(TMainFilter, CurrentListScopeNeverWidensUntilEntireListIsChecked) {
    click("BPsi");
    click("BEXE");
    EXPECT_EQ(window->listModel()->rowCount(), 23);
    click("BPsi");
    QTest::mouseClick(panel->FullList, Qt::LeftButton, {},
                      QPoint(5, panel->FullList->height() / 2));
    ASSERT_FALSE(panel->FullList->isChecked());
    click("BEXE");
    EXPECT_EQ(window->listModel()->rowCount(), 23);
    panel->FullList->setChecked(true);
    click("BEXE");
    EXPECT_EQ(window->listModel()->rowCount(), 30);
    expectShownMatchesRows();
}

TEST_F(TMainFilter, NothingFoundRestoresTheFullListOnce) {
    // Only marked spells, and none is marked: nothing passes.
    window->session()->rawSpells().SetMarked(0, true); // marked but of a kind that is switched off
    const SpellKind kind = window->session()->rawSpells()[0].kind();
    QToolButton* kindButton = kind == SpellKind::Wizard   ? panel->BWiz
                              : kind == SpellKind::Priest ? panel->BPri
                                                          : panel->BPsi;
    kindButton->setChecked(false);
    panel->BMark->setChecked(true);
    PromptScript::Answer(QMessageBox::Ok);
    click("BEXE");
    EXPECT_EQ(PromptScript::Messages().back(),
              "No Spells were found matching the search/sort type. Restoring Full List.");
    EXPECT_FALSE(panel->BMark->isChecked());
    EXPECT_TRUE(kindButton->isChecked());
    EXPECT_EQ(window->listModel()->rowCount(), 30);
    EXPECT_EQ(window->listPanel()->SList->selectedRow(), 0);
    expectShownMatchesRows();
}

TEST_F(TMainFilter, TheRestorePathStopsAfterOneNestedRun) {
    window->session()->rawSpells().FreeAllSpells();
    PromptScript::Answer(QMessageBox::Ok);
    click("BEXE");
    EXPECT_EQ(PromptScript::Messages().size(), 1);
    EXPECT_EQ(window->listModel()->rowCount(), 0);
    EXPECT_EQ(labelText("LCur"), "0");
}

TEST_F(TMainFilter, OneLevelModeKeepsExactlyOneLevelDown) {
    click("BShowOnly");
    EXPECT_FALSE(panel->Ball->isEnabled());
    EXPECT_TRUE(panel->levelButton(1)->isChecked());
    QTest::mouseClick(panel->levelButton(5), Qt::LeftButton);
    int down = 0;
    for (QToolButton* b : panel->levelButtons)
        down += b->isChecked();
    EXPECT_EQ(down, 1);
    EXPECT_TRUE(panel->levelButton(5)->isChecked());
    QTest::mouseClick(panel->levelButton(5), Qt::LeftButton); // cannot be released
    EXPECT_TRUE(panel->levelButton(5)->isChecked());
    click("BEXE");
    EXPECT_EQ(window->listModel()->rowCount(), 3);

    click("BShowOnly");
    EXPECT_TRUE(panel->Ball->isEnabled());
    EXPECT_TRUE(panel->levelButton(5)->isChecked());
    QTest::mouseClick(panel->levelButton(5), Qt::LeftButton);
    EXPECT_FALSE(panel->levelButton(5)->isChecked());
}

TEST_F(TMainFilter, FourSortOrders) {
    auto codes = [&] {
        QStringList keys;
        for (const int slot : window->listModel()->rowSlots()) {
            const SpellRecord& r = window->session()->rawSpells()[slot];
            keys
                << QString("%1%2").arg(static_cast<int>(r.kind())).arg(r->Level, 2, 10, QChar('0'));
        }
        return keys;
    };
    panel->SortType->setCurrentIndex(0);
    click("BEXE");
    QStringList levels;
    for (const QString& k : codes())
        levels << k.mid(1);
    EXPECT_TRUE(std::is_sorted(levels.begin(), levels.end()));
    EXPECT_EQ(window->session()->rawSpells()[window->listModel()->slotAt(0)]->Level, 0);

    panel->SortType->setCurrentIndex(3);
    click("BEXE");
    const QStringList typeLevel = codes();
    EXPECT_TRUE(std::is_sorted(typeLevel.begin(), typeLevel.end()));
    // The priest quest prayer (level 10) follows the priest prayers of level 7.
    EXPECT_LT(typeLevel.indexOf("107"), typeLevel.indexOf("110"));
    EXPECT_LT(typeLevel.indexOf("110"), typeLevel.indexOf("211"));

    panel->SortType->setCurrentIndex(2);
    click("BEXE");
    QStringList kinds;
    for (const QString& k : codes())
        kinds << k.left(1);
    EXPECT_TRUE(std::is_sorted(kinds.begin(), kinds.end()));
}

TEST_F(TMainFilter, NamesDifferingInCaseSortTogether) {
    window->session()->rawSpells()[0]->Name = "zeta";
    window->session()->rawSpells()[1]->Name = "ZETA";
    window->session()->rawSpells()[2]->Name = "Zeta";
    click("BEXE");
    const QStringList names = listedNames();
    const int first = static_cast<int>(names.indexOf("zeta"));
    EXPECT_EQ(names.mid(first, 3), (QStringList{"zeta", "ZETA", "Zeta"}));
    EXPECT_EQ(first + 3, names.size());
}

TEST_F(TMainFilter, SelectingARowRefillsTheQuickView) {
    window->listPanel()->SList->selectRow(4);
    const int slot = window->listModel()->slotAt(4);
    EXPECT_EQ(window->quickView()->windowTitle(),
              QString::fromLatin1(window->session()->rawSpells()[slot]->Name.c_str()));
}
