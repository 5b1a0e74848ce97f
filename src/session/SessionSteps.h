#pragma once

#include "spelldata/DataFile.h"

#include <QUndoCommand>

#include <functional>
#include <memory>
#include <string>

class SpellSession;

// The steps of the history: undo commands that run a session command and
// put back what it changed.
namespace steps {

// A command whose first redo saves what it will change: `save` runs before
// `act` and returns what puts that back.
using Restorer = std::function<void()>;
std::unique_ptr<QUndoCommand> Saving(const QString& text, std::function<void()> act,
                                     std::function<Restorer()> save);

// Opening a data file set in add mode: the first redo reads it (into
// `report`); later ones put back the records and the book table it brought.
std::unique_ptr<QUndoCommand> Appending(const QString& text, SpellSession& session,
                                        std::string datPath, spelldata::ReadReport& report);

} // namespace steps
