#pragma once

#include "session/SpellSession.h"

#include <QObject>

#include <functional>
#include <memory>

class QUndoCommand;
class QUndoStack;

// The window's way of changing the collection: each command runs the
// session's command of the same name as one step that can be undone and
// redone. Opening (in replace mode) and importing start a new history;
// opening in add mode is a step of its own. The stack is clean while the
// collection is what was last opened or saved.
class SessionHistory final : public QObject {
    Q_OBJECT

public:
    static constexpr int Limit = 1000;

    explicit SessionHistory(SpellSession& session, QObject* parent = nullptr);

    SpellSession& session() const { return session_; }
    QUndoStack* stack() const { return stack_; }
    // The collection differs from what was last opened or saved.
    bool modified() const;

    // Files.
    spelldata::ReadReport open(const std::string& datPath);
    spelldata::ImportReport import(const std::string& path);
    spelldata::Status save(const std::string& datPath);

    // Marks.
    void toggleMark(int slot);
    void unmarkAll();
    void reverseMarks();

    // Spells.
    bool addSpell(spelldata::SpellRecord record);
    void replaceSpell(int slot, spelldata::SpellRecord record);
    void removeSpell(int slot);

    // Books.
    int addBook(const std::string& name);
    void deleteBook(int book);
    void toggleBook(int slot, int book);
    void changeCopies(int slot, int book, bool add);
    void resetCopies(int book);

signals:
    // An undo or a redo changed the collection.
    void stepped();
    void modifiedChanged(bool modified);

private:
    void push(std::unique_ptr<QUndoCommand> step);
    void restart(bool clean);
    void changeRecord(const QString& text, int slot, std::function<void()> act);
    void changeBook(const QString& text, int book, std::function<void()> act);
    QString spellName(int slot) const;
    QString bookName(int book) const;

    SpellSession& session_;
    QUndoStack* stack_;
    bool quiet_ = false; // pushing or clearing: no undo or redo
};
