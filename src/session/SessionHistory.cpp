#include "session/SessionHistory.h"

#include "session/SessionSteps.h"
#include "spelldata/Encoding.h"

#include <QUndoStack>

using namespace spelldata;

SessionHistory::SessionHistory(SpellSession& session, QObject* parent)
    : QObject(parent), session_(session), stack_(new QUndoStack(this)) {
    stack_->setUndoLimit(Limit);
    connect(stack_, &QUndoStack::indexChanged, this, [this] {
        if (!quiet_)
            emit stepped();
    });
    connect(stack_, &QUndoStack::cleanChanged, this,
            [this](bool clean) { emit modifiedChanged(!clean); });
}

bool SessionHistory::modified() const {
    return !stack_->isClean();
}

void SessionHistory::push(std::unique_ptr<QUndoCommand> step) {
    quiet_ = true;
    stack_->push(step.release());
    quiet_ = false;
}

// A new history: clean when the collection is a file's.
void SessionHistory::restart(bool clean) {
    quiet_ = true;
    stack_->clear();
    quiet_ = false;
    if (!clean)
        stack_->resetClean();
}

namespace {

// A name as a step's text shows it.
QString shown(const std::string& name) {
    return QString::fromStdString(Cp1252ToUtf8(name)).trimmed();
}

} // namespace

QString SessionHistory::spellName(int slot) const {
    return shown(session_.spells()[slot]->Name);
}

QString SessionHistory::bookName(int book) const {
    return shown(session_.books()[static_cast<std::size_t>(book)]);
}

ReadReport SessionHistory::open(const std::string& datPath) {
    ReadReport report;
    if (!session_.addMode()) {
        report = session_.open(datPath);
        if (report.status)
            restart(true);
        return report;
    }
    push(steps::Appending(tr("Import"), session_, datPath, report));
    return report;
}

ImportReport SessionHistory::import(const std::string& path) {
    ImportReport report = session_.import(path);
    if (report.status)
        restart(false);
    return report;
}

Status SessionHistory::save(const std::string& datPath) {
    Status s = session_.save(datPath);
    if (s)
        stack_->setClean();
    return s;
}

void SessionHistory::toggleMark(int slot) {
    SpellSession* s = &session_;
    const QString text =
        (s->spells()[slot]->Marked ? tr("Unmark %1") : tr("Mark %1")).arg(spellName(slot));
    // A press on the mark is its own inverse.
    push(steps::Saving(
        text, [s, slot] { s->toggleMark(slot); },
        [s, slot] { return [s, slot] { s->toggleMark(slot); }; }));
}

void SessionHistory::unmarkAll() {
    if (session_.spells().MarkedCount() == 0)
        return; // nothing to take back
    SpellSession* s = &session_;
    push(steps::Saving(
        tr("Unmark All"), [s] { s->unmarkAll(); },
        [s] { return [s, marks = s->marks()] { s->restoreMarks(marks); }; }));
}

void SessionHistory::reverseMarks() {
    if (session_.spells().Count() == 0)
        return;
    SpellSession* s = &session_;
    push(steps::Saving(
        tr("Reverse Marks"), [s] { s->reverseMarks(); },
        [s] { return [s, marks = s->marks()] { s->restoreMarks(marks); }; }));
}

bool SessionHistory::addSpell(SpellRecord record) {
    if (session_.spells().Full())
        return false;
    SpellSession* s = &session_;
    const QString text = tr("Add %1").arg(shown(record->Name));
    // Done again, the spell is listed where it was when it was taken back.
    auto listed = std::make_shared<SpellSession::Listing>();
    push(steps::Saving(
        text,
        [s, record = std::move(record), listed] {
            s->addSpell(record);
            s->relist(*listed);
        },
        [s, listed] { return [s, listed] { *listed = s->removeLastSpells(1); }; }));
    return true;
}

// A command that changes one record: the record before it comes back whole.
void SessionHistory::changeRecord(const QString& text, int slot, std::function<void()> act) {
    SpellSession* s = &session_;
    push(steps::Saving(text, std::move(act), [s, slot] {
        return [s, slot, before = s->spells()[slot]] { s->restoreRecord(slot, before); };
    }));
}

void SessionHistory::replaceSpell(int slot, SpellRecord record) {
    SpellSession* s = &session_;
    changeRecord(tr("Edit %1").arg(spellName(slot)), slot,
                 [s, slot, record = std::move(record)] { s->replaceSpell(slot, record); });
}

void SessionHistory::toggleBook(int slot, int book) {
    SpellSession* s = &session_;
    const bool member = s->spells()[slot]->BookSet.test(book);
    const QString text = (member ? tr("Take %1 out of %2") : tr("Put %1 in %2"))
                             .arg(spellName(slot), bookName(book));
    changeRecord(text, slot, [s, slot, book] { s->toggleBook(slot, book); });
}

void SessionHistory::changeCopies(int slot, int book, bool add) {
    if (!session_.canChangeCopies(slot, book, add))
        return; // at its bound or outside the book: nothing changes
    SpellSession* s = &session_;
    const QString text =
        (add ? tr("Add Copy of %1") : tr("Remove Copy of %1")).arg(spellName(slot));
    changeRecord(text, slot, [s, slot, book, add] { s->changeCopies(slot, book, add); });
}

void SessionHistory::removeSpell(int slot) {
    SpellSession* s = &session_;
    push(steps::Saving(
        tr("Delete %1").arg(spellName(slot)), [s, slot] { s->removeSpell(slot); },
        [s, slot] {
            return [s, slot, record = s->spells()[slot], row = s->runRowOfSlot(slot)] {
                s->restoreSpell(slot, record, row);
            };
        }));
}

// A command that changes one book: its line, members and copies come back.
void SessionHistory::changeBook(const QString& text, int book, std::function<void()> act) {
    SpellSession* s = &session_;
    push(steps::Saving(text, std::move(act), [s, book] {
        return [s, book, before = s->bookColumn(book)] { s->restoreBookColumn(book, before); };
    }));
}

int SessionHistory::addBook(const std::string& name) {
    const int book = session_.firstFreeBook();
    if (book < 0)
        return -1;
    SpellSession* s = &session_;
    changeBook(tr("Add Book %1").arg(shown(name)), book, [s, name] { s->addBook(name); });
    return book;
}

void SessionHistory::deleteBook(int book) {
    SpellSession* s = &session_;
    changeBook(tr("Delete Book %1").arg(bookName(book)), book, [s, book] { s->deleteBook(book); });
}

void SessionHistory::resetCopies(int book) {
    SpellSession* s = &session_;
    const QString text =
        book >= 1 ? tr("Reset Copies of %1").arg(bookName(book)) : tr("Reset Copies");
    changeBook(text, book, [s, book] { s->resetCopies(book); });
}
