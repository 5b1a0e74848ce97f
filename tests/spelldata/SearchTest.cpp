#include "spelldata/Search.h"

#include <gtest/gtest.h>

using namespace spelldata;

namespace {

SpellCollection library() {
    SpellCollection spells;
    const char* names[] = {"Fireball", "FIRE TRAP", "Wall of Fire", "Ice Storm"};
    for (const char* n : names) {
        SpellRecord r(SpellKind::Wizard);
        r->Name = n;
        spells.Append(r);
    }
    SpellRecord prayer(SpellKind::Priest);
    prayer->Name = "Flame Strike";
    prayer->Description = "A column of fire.";
    prayer->Source = "Temple notes";
    prayer->School = "Evocation";
    prayer.pri().Sphere = "Combat";
    spells.Append(prayer);
    SpellRecord power(SpellKind::Psionic);
    power->Name = "Mind Thrust";
    power->School = "Telepathy";
    spells.Append(power);
    return spells;
}

std::vector<std::string> found(const SpellCollection& spells) {
    std::vector<std::string> names;
    for (const SpellRecord& r : spells) {
        if (r->Shown)
            names.push_back(r->Name);
    }
    return names;
}

SearchOptions only(bool SearchOptions::*field) {
    SearchOptions o;
    o.name = o.description = o.source = o.school = o.sphere = false;
    o.*field = true;
    return o;
}

int search(SpellCollection& spells, std::string_view needle, const SearchOptions& o) {
    return SearchSpells(needle, spells, static_cast<std::uint16_t>(spells.Count()), o);
}

} // namespace

TEST(SearchTest, FoldsOnlyAsciiLettersAndFindsEveryCase) {
    SpellCollection spells = library();
    EXPECT_EQ(search(spells, "fire", only(&SearchOptions::name)), 3);
    EXPECT_EQ(found(spells), (std::vector<std::string>{"Fireball", "FIRE TRAP", "Wall of Fire"}));
    spells[3]->Name = "\xC9"
                      "clair"; // É in Windows-1252
    EXPECT_EQ(search(spells,
                     "\xE9"
                     "clair",
                     only(&SearchOptions::name)),
              0); // é
    EXPECT_EQ(search(spells,
                     "\xC9"
                     "CLAIR",
                     only(&SearchOptions::name)),
              1);
}

TEST(SearchTest, EachOptionSearchesItsOwnField) {
    SpellCollection spells = library();
    EXPECT_EQ(search(spells, "column", only(&SearchOptions::description)), 1);
    EXPECT_EQ(search(spells, "column", only(&SearchOptions::name)), 0);
    EXPECT_EQ(search(spells, "temple", only(&SearchOptions::source)), 1);
    EXPECT_EQ(search(spells, "telepathy", only(&SearchOptions::school)), 1);
    EXPECT_EQ(search(spells, "combat", only(&SearchOptions::sphere)), 1);
    EXPECT_EQ(search(spells, "combat", only(&SearchOptions::school)), 0);
}

TEST(SearchTest, SphereOnlyNeverMatchesOtherKinds) {
    SpellCollection spells = library();
    spells[5].psi().PowerScore = "Combat";
    spells[0]->Name = "Combat Fire";
    EXPECT_EQ(search(spells, "com", only(&SearchOptions::sphere)), 1);
    EXPECT_EQ(found(spells), (std::vector<std::string>{"Flame Strike"}));
}

TEST(SearchTest, AMatchMaySpanTwoJoinedFields) {
    SpellCollection spells = library();
    SearchOptions nameAndDescription = only(&SearchOptions::name);
    nameAndDescription.description = true;
    EXPECT_EQ(search(spells, "strikea col", nameAndDescription), 1);
    EXPECT_EQ(search(spells, "strikea col", only(&SearchOptions::name)), 0);
}

TEST(SearchTest, NoOptionsFindNothingAndCurrentListLimitsTheSearch) {
    SpellCollection spells = library();
    SearchOptions none = only(&SearchOptions::name);
    none.name = false;
    EXPECT_EQ(search(spells, "fire", none), 0);

    SearchOptions current;
    current.entireList = false;
    for (SpellRecord& r : spells)
        r->Shown = 0;
    spells[1]->Shown = 1;
    spells[3]->Shown = 1;
    EXPECT_EQ(search(spells, "fire", current), 1);
    EXPECT_EQ(found(spells), (std::vector<std::string>{"FIRE TRAP"}));
}

TEST(SearchTest, CountLimitsTheSlotsSearched) {
    SpellCollection spells = library();
    for (SpellRecord& r : spells)
        r->Shown = 1;
    EXPECT_EQ(SearchSpells("fire", spells, 1, SearchOptions()), 1);
    EXPECT_EQ(spells[1]->Shown, 1); // past the count: untouched
}

// A character outside Windows-1252 cannot be in the collection: it is named,
// and never turned into a "?" that would match literal question marks.
TEST(Search, StringsWithCharactersOutsideTheCodePageAreRefused) {
    std::string bytes = "unchanged";
    const Status omega = SearchBytesFromUtf8("fire \xCE\xA9", bytes);
    EXPECT_EQ(omega.kind, ErrorKind::Invalid);
    EXPECT_EQ(omega.message,
              "The character \"\xCE\xA9\" cannot occur in the collection; nothing was searched.");
    EXPECT_EQ(bytes, "unchanged");
    ASSERT_TRUE(SearchBytesFromUtf8("caf\xC3\xA9 \xE2\x82\xAC", bytes).ok());
    EXPECT_EQ(bytes, "caf\xE9 \x80");
}

// The word is found wherever it stands in a long text, also close to its end,
// and a text that only begins and ends like it is no match.
TEST(SearchTest, FindsTheWordAtEveryPlaceOfALongTextAndNoNearMiss) {
    for (std::size_t at = 0; at <= 70; ++at) {
        SpellCollection spells;
        SpellRecord r;
        r->Description = std::string(at, 'x') + "MoonShard" + std::string(70 - at, 'y');
        spells.Append(r);
        SpellRecord nearMiss;
        nearMiss->Description = std::string(at, 'x') + "MoonSzard" + std::string(70 - at, 'y');
        spells.Append(nearMiss);
        EXPECT_EQ(search(spells, "mOONsHARD", only(&SearchOptions::description)), 1) << at;
        EXPECT_EQ(found(spells).size(), 1u);
        EXPECT_EQ(spells[1]->Shown, 0);
        EXPECT_EQ(search(spells, "x", only(&SearchOptions::description)), at > 0 ? 2 : 0) << at;
        EXPECT_EQ(search(spells, "dy", only(&SearchOptions::description)), at < 70 ? 2 : 0) << at;
    }
}
