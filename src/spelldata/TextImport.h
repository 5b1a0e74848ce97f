#pragma once

#include "SpellCollection.h"
#include "Status.h"

#include <string>
#include <string_view>

namespace spelldata {

// The rule character (the horizontal line of code page 437) of which the
// separator lines of the text spell format are made.
inline constexpr char RuleChar = static_cast<char>(196);

// The outcome of an import: records made, and blocks left out because the
// collection was full.
struct ImportReport {
    Status status;
    int imported = 0;
    int refused = 0;
};

// Reads a text spell file into the collection, from slot Count() on (callers
// empty the collection first). Returns NotFound with the message "File Not
// Found, or beeing used by other application." when the file cannot be opened.
// Each block that opens with a rule character becomes one record; lines where a
// block should open but that do not begin with the rule character are skipped.
ImportReport ImportSpellText(const std::string& path, SpellCollection& spells);

// The same, from the file's bytes.
ImportReport ImportSpellTextBytes(std::string_view text, SpellCollection& spells);

// The level named by a level line (first matching word or digit wins; 0 when
// nothing matches).
SpellLevel LevelFromText(std::string_view line);

// Applies one field line ("Label: value") to the record. Returns false when the
// line ends the field block (four rule characters in a row), true otherwise.
bool ApplyFieldLine(std::string_view line, SpellRecord& record);

// Replaces every byte `from` in `text` by `to`.
void ReplaceByte(std::string& text, char from, char to);

} // namespace spelldata
