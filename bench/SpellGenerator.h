#pragma once

#include "spelldata/BookList.h"
#include "spelldata/SpellCollection.h"

#include <cstdint>
#include <string>

namespace bench {

// A small deterministic random source (splitmix64), so that every run and
// every machine generates the same collection.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    // A number from 0 to bound - 1.
    std::uint32_t below(std::uint32_t bound);
    // True with a chance of percent in a hundred.
    bool chance(std::uint32_t percent) { return below(100) < percent; }

private:
    std::uint64_t state_;
};

// The word planted into a minority of records, so that a search has a known,
// small share of hits. It is written in lower case in descriptions and
// capitalised in sources.
inline constexpr const char* PlantedWord = "moonshard";

struct GeneratedSet {
    spelldata::SpellCollection spells;
    spelldata::BookList books;
};

// Fills `set` with `count` made-up spells of all three kinds: names of made-up
// words and a number, several levels, descriptions of about 1.5 KB in several
// lines, and book membership with copy counts for about a third of them.
void GenerateSpells(int count, std::uint64_t seed, GeneratedSet& set);

} // namespace bench
