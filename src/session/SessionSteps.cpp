#include "session/SessionSteps.h"

#include "session/SpellSession.h"

using namespace spelldata;

namespace steps {

namespace {

class SavingStep final : public QUndoCommand {
public:
    SavingStep(const QString& text, std::function<void()> act, std::function<Restorer()> save)
        : QUndoCommand(text), act_(std::move(act)), save_(std::move(save)) {}

    void redo() override {
        if (!restore_)
            restore_ = save_();
        act_();
    }
    void undo() override { restore_(); }

private:
    std::function<void()> act_;
    std::function<Restorer()> save_;
    Restorer restore_;
};

class AppendingStep final : public QUndoCommand {
public:
    AppendingStep(const QString& text, SpellSession& session, std::string datPath,
                  ReadReport& report)
        : QUndoCommand(text), session_(session), path_(std::move(datPath)), report_(&report) {}

    void redo() override {
        if (report_)
            readFirst();
        else
            session_.restoreAppended(added_, booksAfter_);
        session_.relist(listed_);
    }
    void undo() override {
        listed_ = session_.removeLastSpells(static_cast<int>(added_.size()));
        session_.restoreBookTable(booksBefore_);
        session_.restoreMarks(marksBefore_);
    }

private:
    // A failed read changed nothing and leaves no step.
    void readFirst() {
        const int before = session_.spells().Count();
        marksBefore_ = session_.marks();
        booksBefore_ = session_.books();
        *report_ = session_.open(path_);
        report_ = nullptr;
        const int after = session_.spells().Count();
        for (int slot = before; slot < after; ++slot)
            added_.push_back(session_.spells()[slot]);
        booksAfter_ = session_.books();
        if (added_.empty() && booksAfter_ == booksBefore_ && marksBefore_ == session_.marks())
            setObsolete(true);
    }

    SpellSession& session_;
    std::string path_;
    ReadReport* report_;
    std::vector<SpellRecord> added_;
    SpellSession::Listing listed_; // the rows they had when taken back
    std::vector<std::uint8_t> marksBefore_;
    BookList booksBefore_, booksAfter_;
};

} // namespace

std::unique_ptr<QUndoCommand> Saving(const QString& text, std::function<void()> act,
                                     std::function<Restorer()> save) {
    return std::make_unique<SavingStep>(text, std::move(act), std::move(save));
}

std::unique_ptr<QUndoCommand> Appending(const QString& text, SpellSession& session,
                                        std::string datPath, ReadReport& report) {
    return std::make_unique<AppendingStep>(text, session, std::move(datPath), report);
}

} // namespace steps
