#include "SpellGenerator.h"

#include <array>
#include <string_view>

namespace bench {

using namespace spelldata;

std::uint64_t Random::next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint32_t Random::below(std::uint32_t bound) {
    return static_cast<std::uint32_t>(next() % bound);
}

namespace {

constexpr std::array<std::string_view, 24> kSyllables = {
    "ka", "lo",  "mir", "th", "an", "vel", "dra", "os",  "ix", "qu",  "el",  "sar",
    "un", "bre", "tor", "ei", "fa", "gul", "ny",  "phe", "ra", "zim", "oth", "wen"};

constexpr std::array<std::string_view, 8> kSchools = {"Alteration",  "Conjuration", "Divination",
                                                      "Enchantment", "Evocation",   "Illusion",
                                                      "Necromancy",  "Abjuration"};
constexpr std::array<std::string_view, 6> kSpheres = {"All",     "Healing",  "Combat",
                                                      "Weather", "Creation", "Protection"};
constexpr std::array<std::string_view, 5> kDisciplines = {
    "Clairsentience", "Psychokinesis", "Psychometabolism", "Telepathy", "Metapsionics"};
constexpr std::array<std::string_view, 6> kSources = {"Tome of the Grey Hall", "Ashen Codex",
                                                      "Lantern Notes",         "Harbour Scrolls",
                                                      "Manual of Quiet Roads", "Copper Almanac"};
constexpr std::array<std::string_view, 5> kRanges = {"0", "Touch", "10 yds.", "30 yds.",
                                                     "60 yds. + 10 yds./level"};
constexpr std::array<std::string_view, 4> kDurations = {"Instantaneous", "1 rd./level", "1 turn",
                                                        "Special"};
constexpr std::array<std::string_view, 4> kSaves = {"None", "Neg.", "1/2", "Special"};

std::string word(Random& rng) {
    std::string w;
    const std::uint32_t syllables = 2 + rng.below(3);
    for (std::uint32_t i = 0; i < syllables; ++i)
        w += kSyllables[rng.below(kSyllables.size())];
    return w;
}

void capitalise(std::string& w) {
    if (!w.empty() && w[0] >= 'a' && w[0] <= 'z')
        w[0] = static_cast<char>(w[0] - 32);
}

std::string capitalisedWord(Random& rng) {
    std::string w = word(rng);
    capitalise(w);
    return w;
}

template <std::size_t N>
std::string pick(Random& rng, const std::array<std::string_view, N>& from) {
    return std::string(from[rng.below(N)]);
}

// Sentences of made-up words in lines of 60 to 400 bytes, about 1.5 KB in all.
std::string description(Random& rng, bool planted) {
    const std::size_t target = 1350 + rng.below(300);
    const std::size_t plantAt = planted ? rng.below(static_cast<std::uint32_t>(target)) : target;
    std::string text;
    std::size_t lineStart = 0;
    std::size_t lineLength = 60 + rng.below(340);
    bool sentenceStart = true;
    while (text.size() < target) {
        std::string w = text.size() >= plantAt && planted ? std::string(PlantedWord) : word(rng);
        if (text.size() >= plantAt)
            planted = false;
        if (sentenceStart)
            capitalise(w);
        if (text.size() > lineStart)
            text += ' ';
        text += w;
        sentenceStart = rng.chance(12);
        if (sentenceStart)
            text += '.';
        if (text.size() - lineStart >= lineLength) {
            if (!sentenceStart)
                text += '.';
            sentenceStart = true;
            text += "\r\n";
            lineStart = text.size();
            lineLength = 60 + rng.below(340);
        }
    }
    if (!sentenceStart)
        text += '.';
    return text;
}

SpellRecord spell(Random& rng, int index) {
    const std::uint32_t roll = rng.below(100);
    const SpellKind kind = roll < 50   ? SpellKind::Wizard
                           : roll < 85 ? SpellKind::Priest
                                       : SpellKind::Psionic;
    SpellRecord record(kind);
    TBasic& b = record.basic();
    std::string name = capitalisedWord(rng);
    if (rng.chance(10))
        name[0] = static_cast<char>(name[0] + 32); // some names start in lower case
    if (rng.chance(60))
        name += ' ' + capitalisedWord(rng);
    b.Name = name + ' ' + std::to_string(index);
    b.Reversible = kind != SpellKind::Psionic && rng.chance(10) ? 1 : 0;
    b.SavingThrow = pick(rng, kSaves);
    b.Range = pick(rng, kRanges);
    b.AreaOfEffect = std::to_string(1 + rng.below(9)) + " creatures";
    // About one record in a hundred names the planted word in its source.
    b.Source = rng.chance(1) ? "Moonshard Folio" : pick(rng, kSources);
    b.Description = description(rng, rng.chance(4));
    switch (kind) {
    case SpellKind::Wizard:
        b.Level = static_cast<SpellLevel>(rng.below(10));
        b.School = pick(rng, kSchools);
        *record.components() = "V, S, M";
        *record.duration() = pick(rng, kDurations);
        *record.castingTime() = std::to_string(1 + rng.below(9));
        break;
    case SpellKind::Priest:
        b.Level = static_cast<SpellLevel>(1 + rng.below(10));
        b.School = pick(rng, kSchools);
        record.pri().Sphere = pick(rng, kSpheres);
        *record.components() = "V, S";
        *record.duration() = pick(rng, kDurations);
        *record.castingTime() = std::to_string(1 + rng.below(9)) + " rds.";
        break;
    case SpellKind::Psionic: {
        b.Level = static_cast<SpellLevel>(LevelDevotion + rng.below(3));
        b.School = pick(rng, kDisciplines);
        TPsi& p = record.psi();
        p.PowerScore = "Wis -" + std::to_string(rng.below(6));
        p.InitialCost = std::to_string(2 + rng.below(20));
        p.MaintenanceCost = std::to_string(1 + rng.below(8)) + "/rd.";
        p.PreparationTime = "0";
        if (rng.chance(30))
            p.Prerequisites = "Sensitivity to psychic impressions";
        break;
    }
    }
    if (rng.chance(33)) {
        const std::uint32_t books = 1 + rng.below(3);
        for (std::uint32_t i = 0; i < books; ++i) {
            const int book = 1 + static_cast<int>(rng.below(20));
            b.BookSet.set(book, true);
            b.BookCounts[static_cast<std::size_t>(book)] =
                static_cast<std::uint8_t>(1 + rng.below(3));
        }
    }
    return record;
}

} // namespace

void GenerateSpells(int count, std::uint64_t seed, GeneratedSet& set) {
    Random rng(seed);
    set.spells.FreeAllSpells();
    set.books = InitialBookList();
    for (int book = 1; book <= 20; ++book)
        set.books[static_cast<std::size_t>(book)] = "Book of " + capitalisedWord(rng);
    for (int i = 0; i < count; ++i)
        set.spells.Append(spell(rng, i + 1));
}

} // namespace bench
