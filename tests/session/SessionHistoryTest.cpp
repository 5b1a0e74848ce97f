// The history over the spell session: every kind of step taken back and
// done again, the clean state, and the bound on the steps kept.
#include "session/SessionHistory.h"
#include "SessionState.h"
#include "TestSupport.h"

#include <QUndoStack>
#include <gtest/gtest.h>

#include <functional>

using namespace spelldata;

namespace {

const std::string kSample = testsupport::SourcePath("samples/sample-spells.Dat");

class SessionHistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session.open(kSample).status);
        session.runFilter(everything());
    }
    std::string name(int slot) const {
        return QString::fromStdString(session.spells()[slot]->Name).trimmed().toStdString();
    }
    std::string undoText() const { return history.stack()->undoText().toStdString(); }

    SpellSession session;
    SessionHistory history{session};
};

} // namespace

TEST_F(SessionHistoryTest, EveryStepUndoesAndRedoesExactly) {
    const int last = session.spells().Count() - 1;
    // A listed spell in the middle of the list, so that its row matters.
    const int middle = session.slotOfRow(session.spells().Count() / 2);
    ASSERT_NE(middle, last);
    ASSERT_NE(middle, 0);
    int outside = 1; // a spell outside book 2
    while (session.spells()[outside]->BookSet.test(2))
        ++outside;
    struct Case {
        std::string text;
        std::function<void()> step;
    };
    // Edits, adds and imports are followed by a run, as in the window.
    const Case cases[] = {
        {"Mark " + name(3), [&] { history.toggleMark(3); }},
        {"Mark " + name(7), [&] { history.toggleMark(7); }},
        {"Reverse Marks", [&] { history.reverseMarks(); }},
        {"Mark " + name(3), [&] { history.toggleMark(3); }},
        {"Unmark All", [&] { history.unmarkAll(); }},
        {"Mark " + name(last), [&] { history.toggleMark(last); }},
        {"Put " + name(outside) + " in " + session.books()[2],
         [&] { history.toggleBook(outside, 2); }},
        {"Add Copy of " + name(outside), [&] { history.changeCopies(outside, 2, true); }},
        {"Add Book Travel", [&] { history.addBook("Travel"); }},
        {"Reset Copies of " + session.books()[2], [&] { history.resetCopies(2); }},
        {"Delete Book " + session.books()[1], [&] { history.deleteBook(1); }},
        {"Edit " + name(2),
         [&] {
             history.replaceSpell(2, testsupport::FullWizard());
             session.runFilter(everything());
         }},
        // The last record, marked, moves into the hole and must go back.
        {"Delete " + name(middle), [&] { history.removeSpell(middle); }},
        {"Delete " + name(0), [&] { history.removeSpell(0); }},
        {"Add Ember Psalm",
         [&] {
             history.addSpell(testsupport::FullPriest());
             session.runFilter(everything());
         }},
        {"Import",
         [&] {
             session.setAddMode(true);
             EXPECT_TRUE(history.open(kSample).status);
             session.setAddMode(false);
             session.runFilter(everything());
         }},
    };
    for (const Case& c : cases) {
        const SessionState before = StateOf(session);
        c.step();
        const SessionState after = StateOf(session);
        EXPECT_EQ(undoText(), c.text);
        EXPECT_FALSE(StateDifference(after, before).empty()) << c.text << " changed nothing";
        // The window puts the rows in order after each step, as here.
        history.stack()->undo();
        session.sortRows();
        EXPECT_EQ(StateDifference(StateOf(session), before), "") << "undo " << c.text;
        history.stack()->redo();
        session.sortRows();
        EXPECT_EQ(StateDifference(StateOf(session), after), "") << "redo " << c.text;
        EXPECT_EQ(session.spells().MarkedCount(), session.spells().CountMarked()) << c.text;
    }
    // Commands that change nothing leave no step.
    const int steps = history.stack()->count();
    history.changeCopies(1, 1, false); // book 1 is gone: no spell is in it
    history.unmarkAll();               // the import cleared the marks
    EXPECT_EQ(history.stack()->count(), steps);
}

TEST_F(SessionHistoryTest, CleanWhileTheCollectionIsTheFilesOne) {
    testsupport::TempDir dir;
    EXPECT_FALSE(history.modified()); // the sample was opened without the history
    history.toggleMark(1);
    history.toggleMark(2);
    EXPECT_TRUE(history.modified());
    ASSERT_TRUE(history.save(dir.file("saved.Dat")).ok());
    EXPECT_FALSE(history.modified());
    history.stack()->undo();
    EXPECT_TRUE(history.modified());
    history.stack()->redo();
    EXPECT_FALSE(history.modified());
    history.reverseMarks();
    ASSERT_TRUE(history.open(kSample).status);
    EXPECT_EQ(history.stack()->count(), 0);
    EXPECT_FALSE(history.modified());
    history.toggleMark(1);
    // An import starts a new history of a collection no data file holds.
    ASSERT_TRUE(history.import(testsupport::SourcePath("samples/sample-spells.txt")).status);
    EXPECT_EQ(history.stack()->count(), 0);
    EXPECT_TRUE(history.modified());
    // A failed open keeps the history, and adds no step in add mode.
    history.toggleMark(1);
    EXPECT_FALSE(history.open(dir.file("missing.Dat")).status);
    session.setAddMode(true);
    EXPECT_FALSE(history.open(dir.file("missing.Dat")).status);
    EXPECT_EQ(history.stack()->count(), 1);
}

TEST_F(SessionHistoryTest, KeepsTheLastThousandSteps) {
    const SessionState start = StateOf(session);
    for (int i = 0; i < SessionHistory::Limit + 25; ++i)
        history.toggleMark(i % session.spells().Count());
    EXPECT_EQ(history.stack()->count(), SessionHistory::Limit);
    while (history.stack()->canUndo())
        history.stack()->undo();
    // The 25 oldest presses are gone from the history and stay done.
    SpellSession replay;
    ASSERT_TRUE(replay.open(kSample).status);
    replay.runFilter(everything());
    for (int i = 0; i < 25; ++i)
        replay.toggleMark(i % replay.spells().Count());
    EXPECT_EQ(StateDifference(StateOf(session), StateOf(replay)), "");
    EXPECT_NE(StateDifference(StateOf(session), start), "");
}
