// The spell session on its own, without a window: random commands in any
// order keep its bookkeeping (Bookkeeping.h), a delete keeps every other
// listed spell listed, and random steps through the history undo and redo
// to exactly the states they came from.
#include "Bookkeeping.h"
#include "SessionState.h"
#include "TestSupport.h"
#include "session/SessionHistory.h"
#include "session/SpellSession.h"

#include <QUndoStack>
#include <gtest/gtest.h>

#include <functional>
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

// A random filter run, as the filter strip may ask for one.
FilterRequest randomRequest(const std::function<int(int)>& pick, int book) {
    FilterRequest request;
    for (std::size_t level = 0; level < request.levels.size(); ++level)
        request.levels.set(level, pick(4) != 0);
    request.kinds = KindSet(static_cast<unsigned long>(1 + pick(7)));
    request.fullList = pick(2) != 0;
    request.onlyMarked = pick(4) == 0;
    if (pick(3) == 0)
        request.book = book;
    request.order = static_cast<SortOrder>(pick(4));
    return request;
}

} // namespace

TEST(SessionRandom, CommandsInAnyOrderKeepTheBookkeeping) {
    SpellSession session;
    ASSERT_TRUE(session.open(testsupport::SourcePath("samples/sample-spells.Dat")).status);
    session.runFilter(everything());
    std::mt19937 random(20261207);
    const std::function<int(int)> pick = [&](int n) {
        return std::uniform_int_distribution<int>(0, n - 1)(random);
    };
    auto anySlot = [&] { return pick(session.spells().Count()); };
    for (int step = 0; step < 3000; ++step) {
        const int slot = session.spells().Count() > 0 ? anySlot() : -1;
        const int book = 1 + pick(4);
        switch (slot < 0 ? 4 : pick(9)) {
        case 0:
            session.runFilter(randomRequest(pick, book));
            break;
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

// A thousand steps through the history, with filter runs between them; taken
// back one by one they lead to the start, done again to the end, and the
// bookkeeping holds after each.
TEST(SessionRandom, HistoryUndoesToTheStartAndRedoesToTheEnd) {
    const std::string sample = testsupport::SourcePath("samples/sample-spells.Dat");
    SpellSession session;
    ASSERT_TRUE(session.open(sample).status);
    session.runFilter(everything());
    SessionHistory history(session);
    QUndoStack& stack = *history.stack();
    std::mt19937 random(20261208);
    const std::function<int(int)> pick = [&](int n) {
        return std::uniform_int_distribution<int>(0, n - 1)(random);
    };
    const SessionState start = StateOf(session);
    for (int step = 0; stack.count() < SessionHistory::Limit; ++step) {
        const int count = session.spells().Count();
        const int slot = count > 0 ? pick(count) : -1;
        const int book = 1 + pick(4);
        const std::string tag = std::to_string(step);
        switch (slot < 0 ? 4 : pick(10)) {
        case 0:
            session.runFilter(randomRequest(pick, book));
            // Steps taken back while the quick filter narrows the list.
            if (pick(2) == 0)
                session.narrow(std::string(1, static_cast<char>('a' + pick(26))));
            break;
        case 1:
            history.toggleMark(slot);
            break;
        case 2:
            pick(2) ? history.unmarkAll() : history.reverseMarks();
            break;
        case 3:
            history.removeSpell(slot);
            break;
        case 4:
            history.addSpell(testsupport::FullPriest("Added " + tag));
            session.runFilter(everything());
            break;
        case 5:
            history.toggleBook(slot, book);
            break;
        case 6:
            history.changeCopies(slot, book, pick(4) != 0);
            break;
        case 7: {
            const int which = pick(3);
            if (which == 0)
                history.resetCopies(book);
            else if (which == 1)
                history.deleteBook(book);
            else
                history.addBook("Book " + tag);
            break;
        }
        case 8:
            if (pick(10) == 0) {
                session.setAddMode(true);
                ASSERT_TRUE(history.open(sample).status);
                session.setAddMode(false);
                session.runFilter(everything());
                break;
            }
            [[fallthrough]];
        default:
            history.replaceSpell(slot, testsupport::FullWizard("Edited " + tag));
        }
        const std::string wrong = SessionFault(session);
        ASSERT_TRUE(wrong.empty()) << "step " << step << ": " << wrong;
    }
    const SessionState end = StateOf(session);
    session.narrow("e");
    for (int undone = 0; stack.canUndo(); ++undone) {
        const std::string text = stack.undoText().toStdString();
        stack.undo();
        const std::string wrong = SessionFault(session);
        ASSERT_TRUE(wrong.empty()) << "undo " << undone << " (" << text << "): " << wrong;
    }
    EXPECT_EQ(StateDifference(StateOf(session), start, false), "");
    while (stack.canRedo()) {
        stack.redo();
        const std::string wrong = SessionFault(session);
        ASSERT_TRUE(wrong.empty()) << "redo " << stack.index() << ": " << wrong;
    }
    EXPECT_EQ(StateDifference(StateOf(session), end, false), "");
}
