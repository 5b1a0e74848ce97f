#pragma once

#include "spelldata/SpellCollection.h"
#include "spelldata/Status.h"

#include <string>
#include <string_view>
#include <vector>

namespace spelldata {

// The rule character (the horizontal line of code page 437) of which the
// separator lines of the text spell format are made.
inline constexpr char RuleChar = static_cast<char>(196);

// Lines of a text spell file, numbered from 1.
struct LineRange {
    int first = 0;
    int last = 0;
};

// The outcome of an import: records made, blocks left out because the
// collection was full, and the lines that held text but belonged to no spell
// (they were passed over while looking for the next separator).
struct ImportReport {
    Status status;
    int imported = 0;
    int refused = 0;
    std::vector<LineRange> skipped;
    int unstorable = 0; // characters of UTF-8 text that Windows-1252 lacks, read as "?"
};

// What the user should know of an import that succeeded, one line each: the
// lines it passed over ("Lines 1-2, 9 of <file> hold no spell and were
// skipped.") and the characters it could not store. Empty when neither.
std::string ImportNotes(const ImportReport& report, const std::string& file);

// Reads a text spell file into the collection, from slot Count() on (callers
// empty the collection first). Returns NotFound with the message "File Not
// Found, or beeing used by other application." when the file cannot be opened,
// and Malformed with "No spells found in <path>" when it holds no spell block.
// Each block becomes one record. A block opens at a line that begins with the
// rule character or holds five of them in a row anywhere; in a description,
// the text before such a run is the description's last line. Other lines
// where a block should open are skipped and listed in the report. A
// byte-order mark at the start is dropped, and a block followed only by blank
// lines is no spell.
// UTF-8 text (a byte-order mark, or well-formed UTF-8 with separators of
// U+2500) is decoded first: U+2500 becomes the rule character and every other
// character its Windows-1252 byte, or "?" when that code page lacks it. Other
// text is read byte for byte.
ImportReport ImportSpellText(const std::string& path, SpellCollection& spells);

// The same, from the file's bytes.
ImportReport ImportSpellTextBytes(std::string_view bytes, SpellCollection& spells);

// The text as the import reads it: cut at a Ctrl-Z, without a leading
// byte-order mark, and decoded when it is UTF-8 (see ImportSpellText), with
// the number of characters that became "?" in `unstorable`.
std::string SpellTextAsRead(std::string_view bytes, int* unstorable = nullptr);

// The level named by a level line (first matching word or digit wins; 0 when
// nothing matches).
SpellLevel LevelFromText(std::string_view line);

// Applies one field line ("Label: value") to the record. Returns false when the
// line ends the field block (four rule characters in a row), true otherwise.
bool ApplyFieldLine(std::string_view line, SpellRecord& record);

// Replaces every byte `from` in `text` by `to`.
void ReplaceByte(std::string& text, char from, char to);

} // namespace spelldata
