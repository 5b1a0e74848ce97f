#pragma once

#include "spelldata/SpellCollection.h"

#include <bitset>
#include <string>
#include <vector>

namespace spelldata {

// Members of the filter set besides the levels 0..13.
inline constexpr int OnlyMarked = 50;
inline constexpr int AnyMark = 51;
inline constexpr int CurrentList = 100;
inline constexpr int EntireList = 101;

// The view filter of one run: admitted levels plus exactly one of
// OnlyMarked/AnyMark and one of CurrentList/EntireList; and admitted kinds.
using FilterSet = std::bitset<256>;
using KindSet = std::bitset<3>;

// The four list orders, by their position in the sort box.
enum class SortOrder { Level = 0, Name = 1, Type = 2, TypeLevel = 3 };

// True when the record passes the four tests of a run: its level and kind are
// admitted, and the mark and current-list members let it through.
bool PassesFilter(const TBasic& record, const FilterSet& filter, const KindSet& kinds);

// The text a row is ordered by: "03Fireball", "Fireball", "AFireball" or
// "A03Fireball" for a level-3 wizard spell named Fireball.
std::string SortKey(const SpellRecord& record, SortOrder order);

// The book step of a run: with fullList, Shown := in the book; otherwise
// Shown := Shown and in the book. `book` outside 0..255 admits nothing.
void ApplyBookStep(SpellCollection& spells, int book, bool fullList);

// One row of the list: the slot it shows and the text it is ordered by.
struct ListRow {
    int Index;
    std::string SortKey;
};

// The sort pass: tests every record in slot order, sets its Shown flag, sets
// ShownCount, and returns one row per passing record in slot order.
std::vector<ListRow> BuildRows(SpellCollection& spells, const FilterSet& filter,
                               const KindSet& kinds, SortOrder order);

// Compares sort keys for the list. Prepare() receives every row of a run once,
// so that an implementation can compute collation keys ahead of the sort.
class RowCollator {
public:
    virtual ~RowCollator() = default;
    virtual void Prepare(const std::vector<ListRow>& rows) = 0;
    // Negative, zero or positive as prepared row a orders before, with or after b.
    virtual int Compare(std::size_t a, std::size_t b) const = 0;
};

// Byte-wise comparison that ignores ASCII letter case; for tests and tools
// without a locale.
class AsciiCaseCollator final : public RowCollator {
public:
    void Prepare(const std::vector<ListRow>& rows) override;
    int Compare(std::size_t a, std::size_t b) const override;

private:
    std::vector<std::string> keys_;
};

// Puts the rows in ascending order of their keys under `collator`; rows whose
// keys compare equal keep slot order.
void SortRows(std::vector<ListRow>& rows, RowCollator& collator);

} // namespace spelldata
