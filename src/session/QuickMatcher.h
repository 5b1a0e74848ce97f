#pragma once

#include "spelldata/SpellCollection.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

// What the quick filter field asks for: the text to find, folded to lower
// case, and the fields to find it in. Typed text is UTF-8; a leading "d:"
// searches the descriptions as well as the names, "s:" the schools (the
// disciplines of psionic powers, and the spheres of priest prayers) and
// "src:" the sources. Spaces after a prefix are left out.
struct QuickQuery {
    enum class Scope { Names, NamesAndDescriptions, Schools, Sources };

    Scope scope = Scope::Names;
    std::string needle; // Windows-1252 bytes, folded
    // The text holds a character the code page lacks: no spell can hold it.
    bool unmatchable = false;

    // An empty needle narrows nothing.
    bool narrows() const { return unmatchable || !needle.empty(); }
    bool operator==(const QuickQuery&) const = default;
};

QuickQuery ParseQuickQuery(std::string_view typed);

// Folds Windows-1252 text to lower case, byte by byte.
std::string FoldText(std::string_view bytes);

// Finds the spells whose text contains a query, on lower-case copies of
// their fields kept per slot. Each copy is kept with the text it was made
// from and made again when the record's text differs, so a record that was
// edited, moved into another slot or brought back never matches old text.
//
// Typing goes one key at a time: the spells found for a text are kept, so a
// longer text searches only those that held a part of it, and a key erased
// finds its answer again without a search. A copy compared with its record
// is trusted until forget(): the owner calls it whenever the candidates or
// any record may have changed, and then every copy is compared again before
// it is used.
class QuickMatcher {
public:
    // The slots of `candidates` whose text holds the query, in their order.
    std::vector<int> match(const spelldata::SpellCollection& spells,
                           const std::vector<int>& candidates, const QuickQuery& query);

    // Makes the copies of every field of every record ahead of the typing.
    void prepare(const spelldata::SpellCollection& spells);

    // The candidates, or a record, changed since the last match.
    void forget();
    // Only the candidates changed (a new filter run): what was found is
    // dropped, the copies stay trusted.
    void forgetFound() { found_.clear(); }

private:
    enum Field { Name, Description, School, Sphere, Source, FieldCount };

    struct Folded {
        std::string source; // the record's text it was made from
        std::string folded;
        bool checked = false; // compared with the record since the last forget()
    };

    // The folded text of one field of one record, made again when stale.
    const std::string& folded(const spelldata::SpellCollection& spells, int slot, Field field);
    bool holds(const spelldata::SpellCollection& spells, int slot, const QuickQuery& query);

    struct Found {
        QuickQuery query;
        std::vector<int> matches;
    };
    // The best start for a query: the spells found for the longest earlier
    // text of the same scope that the query's text contains.
    const Found* narrowest(const QuickQuery& query) const;

    std::array<std::vector<Folded>, FieldCount> fields_;
    std::vector<Found> found_; // the latest texts typed, oldest first
};
