// The list order with collation keys kept from one filter run to the next.
#include "collation/ListCollator.h"
#include "session/SpellSession.h"

#include <gtest/gtest.h>

using namespace spelldata;

namespace {

// The slots of the rows in sorted order, as SortRows gives them; Sort() on
// the same collator must give the same.
std::vector<int> sortedSlots(ListCollator& collator,
                             const std::vector<std::pair<int, std::string>>& texts) {
    std::vector<ListRow> rows;
    for (const auto& [slot, text] : texts)
        rows.push_back({slot, text});
    std::vector<ListRow> sorted = rows;
    collator.Sort(sorted);
    SortRows(rows, collator);
    std::vector<int> order;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        order.push_back(rows[i].Index);
        EXPECT_EQ(sorted[i].Index, rows[i].Index) << i;
    }
    return order;
}

std::vector<std::string> listedNames(const SpellSession& session) {
    std::vector<std::string> names;
    for (const int slot : session.rows())
        names.push_back(session.spells()[slot]->Name);
    return names;
}

void runByName(SpellSession& session) {
    FilterRequest request;
    request.levels.set();
    request.kinds.set();
    request.fullList = true;
    request.order = SortOrder::Name;
    session.runFilter(request);
}

} // namespace

// A collator kept across runs orders each run as a new one does: accents and
// case as the locale has them, equal keys by slot, and a slot's new text, not
// the one it had.
TEST(ListCollator, AKeptCollatorOrdersEachRunByTheSlotsTextsNow) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    ListCollator kept(english);
    const std::string eclair = std::string(1, '\xC9') + "clair"; // Windows-1252
    std::vector<std::pair<int, std::string>> texts{
        {4, "Apple"}, {0, "Zephyr"}, {1, "apple"}, {2, eclair}, {3, "eclipse"}};
    EXPECT_EQ(sortedSlots(kept, texts), (std::vector<int>{1, 4, 2, 3, 0}));

    texts[2].second = "zzz";     // slot 1 renamed
    texts[1].second = "eclipse"; // slot 3's record moved into slot 0
    texts.erase(texts.begin());  // slot 4 gone
    texts.pop_back();            // slot 3 gone
    const std::vector<int> again = sortedSlots(kept, texts);
    EXPECT_EQ(again, (std::vector<int>{2, 0, 1}));
    ListCollator fresh(english);
    EXPECT_EQ(again, sortedSlots(fresh, texts));
}

// The session's runs list renamed, edited and moved records by their names.
TEST(ListCollator, TheSessionListsChangedRecordsByTheirNewNames) {
    SpellSession session;
    for (const char* name : {"Delta", "alpha", "Charlie", "Bravo"}) {
        SpellRecord r(SpellKind::Wizard);
        r->Name = name;
        ASSERT_TRUE(session.addSpell(std::move(r)));
    }
    runByName(session);
    EXPECT_EQ(listedNames(session),
              (std::vector<std::string>{"alpha", "Bravo", "Charlie", "Delta"}));

    SpellRecord edited(SpellKind::Wizard);
    edited->Name = "echo";
    session.replaceSpell(1, std::move(edited));
    session.rawSpells()[2]->Name = "Able";
    runByName(session);
    EXPECT_EQ(listedNames(session), (std::vector<std::string>{"Able", "Bravo", "Delta", "echo"}));

    session.removeSpell(1); // "Bravo" moves from the last slot into the freed one
    ASSERT_EQ(session.spells()[1]->Name, "Bravo");
    runByName(session);
    EXPECT_EQ(listedNames(session), (std::vector<std::string>{"Able", "Bravo", "Delta"}));
}
