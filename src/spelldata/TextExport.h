#pragma once

#include "SpellCollection.h"
#include "Status.h"

#include <string>
#include <vector>

namespace spelldata {

// The kind-and-level wording of the text output: "3rd Level Wizard Spell",
// "Priest Quest Prayer", "Cantrip", "Psionic Science". Levels above 13 give
// their decimal number.
std::string LevelText(const SpellRecord& record);

// The short code of the saved and printed list: "(W  3)", "(Pr 10)", "(Ps D)".
std::string ListCode(const SpellRecord& record);

// The saved list: "Spell List", one line per record (name, " (Reversible)"
// when set, three blanks, the list code), and an empty line. CR LF line ends.
std::string SaveList(const std::vector<const SpellRecord*>& records);

// One whole spell in the text spell format that the import reads, followed by
// `extraLines` empty lines.
std::string SaveSpell(const SpellRecord& record, int extraLines);

// Writes text output: appended to `path` (created when missing) when `append`
// is set, otherwise replacing it safely.
Status WriteTextOutput(const std::string& path, const std::string& bytes, bool append);

} // namespace spelldata
