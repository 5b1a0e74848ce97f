#pragma once

#include "spelldata/SpellCollection.h"
#include "spelldata/Status.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace spelldata {

// Which fields a search looks in, and whether it searches every record or only
// those of the current list (Shown set).
struct SearchOptions {
    bool name = true;
    bool description = true;
    bool source = true;
    bool school = true; // school, or discipline for psionic powers
    bool sphere = true; // priest prayers only
    bool entireList = true;
};

// One search over many records: the needle is prepared once, and the text of
// each record is gathered in a buffer used again for the next.
class SpellMatcher {
public:
    SpellMatcher(std::string_view needle, const SearchOptions& options);
    // True when the needle occurs in the record's chosen fields as SearchSpells
    // looks for it (entireList plays no part here).
    bool Matches(const SpellRecord& record);

private:
    std::string needle_; // upper-cased
    SearchOptions options_;
    std::string text_;
};

// True when `needle` stands in `text`, byte for byte; an empty needle stands
// nowhere. Where the processor allows, 16 places are looked at a time.
bool ContainsBytes(std::string_view text, std::string_view needle);

// Sets Shown on records 0..count-1: 1 when `needle` occurs, ignoring the case
// of a-z only, in the record's chosen fields joined without separator (in the
// order name, description, source, school, sphere), so a match may span two
// fields. Records outside the current list are cleared when entireList is off.
// An empty needle finds nothing.
// Returns the number of records found.
int SearchSpells(std::string_view needle, SpellCollection& spells, std::uint16_t count,
                 const SearchOptions& options);

// The bytes to search for, from a search string in UTF-8. The collection
// holds Windows-1252 text, so a character that code page lacks cannot occur
// in it: then the result is Invalid with a message naming the character, and
// nothing should be searched.
Status SearchBytesFromUtf8(std::string_view utf8, std::string& bytes);

} // namespace spelldata
