// The spell session on its own, without a window: random commands in any
// order keep its bookkeeping (Bookkeeping.h), and a delete keeps every other
// listed spell listed.
#include "Bookkeeping.h"
#include "TestSupport.h"
#include "session/SpellSession.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace spelldata;

namespace {

std::multiset<std::string> listedNames(const SpellSession& session) {
    std::multiset<std::string> names;
    for (const int slot : session.rows())
        names.insert(session.spells()[slot]->Name);
    return names;
}

// A run that lists everything, as the window makes after opening and adding.
FilterRequest everything() {
    FilterRequest request;
    request.levels.set();
    request.kinds.set();
    request.fullList = true;
    request.order = SortOrder::Name;
    return request;
}

} // namespace

TEST(SessionRandom, CommandsInAnyOrderKeepTheBookkeeping) {
    SpellSession session;
    ASSERT_TRUE(session.open(testsupport::SourcePath("samples/sample-spells.Dat")).status);
    session.runFilter(everything());
    std::mt19937 random(20261207);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    auto anySlot = [&] { return pick(session.spells().Count()); };
    for (int step = 0; step < 3000; ++step) {
        const int slot = session.spells().Count() > 0 ? anySlot() : -1;
        const int book = 1 + pick(4);
        switch (slot < 0 ? 4 : pick(9)) {
        case 0: {
            FilterRequest request;
            for (std::size_t level = 0; level < request.levels.size(); ++level)
                request.levels.set(level, pick(4) != 0);
            request.kinds = KindSet(static_cast<unsigned long>(1 + pick(7)));
            request.fullList = pick(2) != 0;
            request.onlyMarked = pick(4) == 0;
            if (pick(3) == 0)
                request.book = book;
            request.order = static_cast<SortOrder>(pick(4));
            session.runFilter(request);
            break;
        }
        case 1:
            session.toggleMark(slot);
            break;
        case 2:
            pick(2) ? session.unmarkAll() : session.reverseMarks();
            break;
        case 3: {
            std::multiset<std::string> expected = listedNames(session);
            if (session.rowOfSlot(slot) >= 0)
                expected.erase(expected.find(session.spells()[slot]->Name));
            session.removeSpell(slot);
            ASSERT_EQ(listedNames(session), expected) << "step " << step;
            break;
        }
        case 4:
            session.addSpell(testsupport::FullPriest("Added " + std::to_string(step)));
            session.runFilter(everything());
            break;
        case 5:
            session.toggleBook(slot, book);
            break;
        case 6:
            session.changeCopies(slot, book, pick(2) != 0);
            break;
        case 7:
            pick(2) ? session.resetCopies(book) : session.deleteBook(book);
            break;
        default:
            session.replaceSpell(slot, testsupport::FullWizard("Edited " + std::to_string(step)));
        }
        const std::string wrong = SessionFault(session);
        ASSERT_TRUE(wrong.empty()) << "step " << step << ": " << wrong;
    }
}
