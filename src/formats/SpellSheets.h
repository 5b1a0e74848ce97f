#pragma once

#include "spelldata/BookList.h"
#include "spelldata/SpellRecord.h"

#include <string>
#include <vector>

namespace formats {

// Readable exports for other programs; nothing reads them back. Text is
// UTF-8, converted from the records' Windows-1252 bytes.

// The CSV columns, in their fixed order.
const std::vector<std::string>& CsvColumns();

// RFC 4180: a header row of CsvColumns(), then one row per spell; rows end
// with CR LF; a field holding a comma, a quote or a line break is quoted, its
// quotes doubled. Fields a spell's kind lacks are empty.
std::string SpellsToCsv(const std::vector<const spelldata::SpellRecord*>& spells,
                        const spelldata::BookList& books);

// Markdown: per spell a heading with its name, a list of its kind, level and
// non-empty fields, then each description line as a paragraph. Characters
// that Markdown would take for markup are escaped with a backslash.
std::string SpellsToMarkdown(const std::vector<const spelldata::SpellRecord*>& spells,
                             const spelldata::BookList& books);

// "Wizard Spell", "Priest Prayer", "Psionic Power" or "Info".
std::string KindWord(const spelldata::SpellRecord& record);

// "Cantrip", "1" to "10", "Devotion", "Science", "Info"; the number above.
std::string LevelWord(spelldata::SpellLevel level);

// The spell's books: each book it belongs to or has copies in, by name
// ("Book 7" for a position without one), with its copies:
// "Travelling Book (2 copies); Temple Library". Empty when none.
std::string BookSummary(const spelldata::SpellRecord& record, const spelldata::BookList& books);

} // namespace formats
