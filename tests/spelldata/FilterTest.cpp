#include "spelldata/Filter.h"

#include <gtest/gtest.h>

using namespace spelldata;

namespace {

SpellRecord spell(SpellKind kind, SpellLevel level, const std::string& name) {
    SpellRecord r(kind);
    r->Name = name;
    r->Level = level;
    return r;
}

FilterSet allLevels(bool onlyMarked = false, bool currentList = false) {
    FilterSet f;
    for (int level = 0; level <= 13; ++level)
        f.set(static_cast<std::size_t>(level));
    f.set(onlyMarked ? OnlyMarked : AnyMark);
    f.set(currentList ? CurrentList : EntireList);
    return f;
}

KindSet allKinds() {
    return KindSet().set();
}

std::vector<std::string> namesInOrder(SpellCollection& spells, const FilterSet& f, const KindSet& k,
                                      SortOrder order) {
    std::vector<ListRow> rows = BuildRows(spells, f, k, order);
    AsciiCaseCollator collator;
    SortRows(rows, collator);
    std::vector<std::string> names;
    for (const ListRow& row : rows)
        names.push_back(spells[row.Index]->Name);
    return names;
}

} // namespace

TEST(SortKeyTest, FourOrdersBuildTheirKeys) {
    const SpellRecord fireball = spell(SpellKind::Wizard, 3, "Fireball");
    EXPECT_EQ(SortKey(fireball, SortOrder::Level), "03Fireball");
    EXPECT_EQ(SortKey(fireball, SortOrder::Name), "Fireball");
    EXPECT_EQ(SortKey(fireball, SortOrder::Type), "AFireball");
    EXPECT_EQ(SortKey(fireball, SortOrder::TypeLevel), "A03Fireball");
    EXPECT_EQ(SortKey(spell(SpellKind::Priest, 10, "Q"), SortOrder::TypeLevel), "B10Q");
    EXPECT_EQ(SortKey(spell(SpellKind::Psionic, 13, "I"), SortOrder::TypeLevel), "C13I");
    EXPECT_EQ(SortKey(spell(SpellKind::Wizard, 200, "X"), SortOrder::Level), "200X");
}

TEST(PassesFilterTest, LevelKindMarkAndScopeAreTestedIndependently) {
    SpellRecord devotion = spell(SpellKind::Wizard, LevelDevotion, "odd");
    FilterSet f = allLevels();
    EXPECT_TRUE(PassesFilter(devotion.basic(), f, allKinds()));
    f.reset(LevelDevotion);
    EXPECT_FALSE(PassesFilter(devotion.basic(), f, allKinds()));
    EXPECT_FALSE(PassesFilter(devotion.basic(), allLevels(), KindSet().set(2)));

    EXPECT_FALSE(PassesFilter(devotion.basic(), allLevels(true), allKinds()));
    devotion->Marked = 1;
    EXPECT_TRUE(PassesFilter(devotion.basic(), allLevels(true), allKinds()));

    EXPECT_FALSE(PassesFilter(devotion.basic(), allLevels(false, true), allKinds()));
    devotion->Shown = 1;
    EXPECT_TRUE(PassesFilter(devotion.basic(), allLevels(false, true), allKinds()));

    // Levels above 13 have no button: they are listed with every level
    // admitted, and never because a level coincides with a flag member.
    for (const SpellLevel level : {14, 50, 51, 100, 101, 255}) {
        SpellRecord high = spell(SpellKind::Wizard, level, "beyond info");
        EXPECT_TRUE(PassesFilter(high.basic(), allLevels(), allKinds())) << int(level);
        FilterSet someLevels = allLevels();
        someLevels.reset(3);
        EXPECT_FALSE(PassesFilter(high.basic(), someLevels, allKinds())) << int(level);
    }
}

TEST(BuildRowsTest, SetsShownExactlyOnListedSpellsAndCountsThem) {
    SpellCollection spells;
    spells.Append(spell(SpellKind::Wizard, 1, "a"));
    spells.Append(spell(SpellKind::Priest, 2, "b"));
    spells.Append(spell(SpellKind::Psionic, LevelInfo, "c"));
    spells[1]->Shown = 1;
    FilterSet f = allLevels();
    const std::vector<ListRow> rows =
        BuildRows(spells, f, KindSet().set(0).set(2), SortOrder::Name);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Index, 0);
    EXPECT_EQ(rows[1].Index, 2);
    EXPECT_EQ(spells.ShownCount, 2);
    EXPECT_EQ(spells[0]->Shown, 1);
    EXPECT_EQ(spells[1]->Shown, 0);
    EXPECT_EQ(spells[2]->Shown, 1);
}

TEST(BuildRowsTest, CurrentListScopeNeverWidensTheList) {
    SpellCollection spells;
    for (int level = 1; level <= 4; ++level)
        spells.Append(spell(SpellKind::Wizard, static_cast<SpellLevel>(level), "s"));
    FilterSet narrow;
    narrow.set(1).set(2).set(AnyMark).set(EntireList);
    BuildRows(spells, narrow, allKinds(), SortOrder::Name);
    EXPECT_EQ(spells.ShownCount, 2);
    BuildRows(spells, allLevels(false, true), allKinds(), SortOrder::Name);
    EXPECT_EQ(spells.ShownCount, 2);
    BuildRows(spells, allLevels(false, false), allKinds(), SortOrder::Name);
    EXPECT_EQ(spells.ShownCount, 4);
}

TEST(SortRowsTest, OrdersIgnoreCaseAndKeepSlotOrderForTies) {
    SpellCollection spells;
    spells.Append(spell(SpellKind::Wizard, 3, "fireball"));
    spells.Append(spell(SpellKind::Wizard, 3, "Fire Trap"));
    spells.Append(spell(SpellKind::Wizard, 3, "FIREBALL"));
    spells.Append(spell(SpellKind::Wizard, 3, "Apple"));
    spells.Append(spell(SpellKind::Wizard, 3, "Fireball"));
    EXPECT_EQ(namesInOrder(spells, allLevels(), allKinds(), SortOrder::Name),
              (std::vector<std::string>{"Apple", "Fire Trap", "fireball", "FIREBALL", "Fireball"}));
}

TEST(SortRowsTest, LevelAndTypeOrdersUseTheLeadingZero) {
    SpellCollection spells;
    spells.Append(spell(SpellKind::Psionic, LevelDevotion, "Psi devotion"));
    spells.Append(spell(SpellKind::Priest, 10, "Quest"));
    spells.Append(spell(SpellKind::Priest, 9, "Ninth prayer"));
    spells.Append(spell(SpellKind::Wizard, 10, "Tenth spell"));
    spells.Append(spell(SpellKind::Wizard, 9, "Ninth spell"));
    spells.Append(spell(SpellKind::Wizard, 0, "Cantrip"));
    EXPECT_EQ(namesInOrder(spells, allLevels(), allKinds(), SortOrder::Level),
              (std::vector<std::string>{"Cantrip", "Ninth prayer", "Ninth spell", "Quest",
                                        "Tenth spell", "Psi devotion"}));
    EXPECT_EQ(namesInOrder(spells, allLevels(), allKinds(), SortOrder::TypeLevel),
              (std::vector<std::string>{"Cantrip", "Ninth spell", "Tenth spell", "Ninth prayer",
                                        "Quest", "Psi devotion"}));
    EXPECT_EQ(namesInOrder(spells, allLevels(), allKinds(), SortOrder::Type),
              (std::vector<std::string>{"Cantrip", "Ninth spell", "Tenth spell", "Ninth prayer",
                                        "Quest", "Psi devotion"}));
}

TEST(BookStepTest, FullListTakesTheBookAndCurrentListNarrowsIt) {
    SpellCollection spells;
    for (int i = 0; i < 4; ++i)
        spells.Append(spell(SpellKind::Wizard, 1, std::to_string(i)));
    spells[0]->BookSet.set(5, true);
    spells[1]->BookSet.set(5, true);
    spells[1]->Shown = 1;
    spells[2]->Shown = 1;

    ApplyBookStep(spells, 5, false);
    EXPECT_EQ(spells[0]->Shown, 0);
    EXPECT_EQ(spells[1]->Shown, 1);
    EXPECT_EQ(spells[2]->Shown, 0);

    ApplyBookStep(spells, 5, true);
    EXPECT_EQ(spells[0]->Shown, 1);
    EXPECT_EQ(spells[1]->Shown, 1);

    for (const int book : {-1, 256}) {
        ApplyBookStep(spells, book, true);
        for (const SpellRecord& r : spells)
            EXPECT_EQ(r->Shown, 0) << book;
    }
}
