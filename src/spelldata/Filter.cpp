#include "spelldata/Filter.h"

#include <algorithm>
#include <numeric>

namespace spelldata {

namespace {

void appendLevel(std::string& key, SpellLevel level) {
    if (level < 10)
        key += '0';
    key += std::to_string(level);
}

char kindLetter(SpellKind kind) {
    return static_cast<char>('A' + static_cast<int>(kind));
}

} // namespace

namespace {
// Only levels 0..13 have buttons. A level above 13 (possible in files) must not
// be read against the set's other members (50, 51, 100, 101): such spells are
// listed whenever every level is admitted, so they stay reachable.
bool levelAdmitted(SpellLevel level, const FilterSet& filter) {
    if (level <= LevelInfo)
        return filter.test(level);
    for (int l = 0; l <= LevelInfo; ++l) {
        if (!filter.test(static_cast<std::size_t>(l)))
            return false;
    }
    return true;
}
} // namespace

bool PassesFilter(const TBasic& record, const FilterSet& filter, const KindSet& kinds) {
    if (!levelAdmitted(record.Level, filter) || record.Kind > 2 || !kinds.test(record.Kind))
        return false;
    const int markMember = filter.test(OnlyMarked) && record.Marked ? OnlyMarked : AnyMark;
    const int shownMember = filter.test(CurrentList) && record.Shown ? CurrentList : EntireList;
    return filter.test(markMember) && filter.test(shownMember);
}

std::string SortKey(const SpellRecord& record, SortOrder order) {
    const TBasic& b = record.basic();
    std::string key;
    key.reserve(b.Name.size() + 4);
    if (order == SortOrder::Type || order == SortOrder::TypeLevel)
        key += kindLetter(record.kind());
    if (order == SortOrder::Level || order == SortOrder::TypeLevel)
        appendLevel(key, b.Level);
    key += b.Name;
    return key;
}

void ApplyBookStep(SpellCollection& spells, int book, bool fullList) {
    for (SpellRecord& r : spells) {
        const bool inBook = book >= 0 && book < MaxBooks && r->BookSet.test(book);
        r->Shown = (fullList || r->Shown) && inBook ? 1 : 0;
    }
}

std::vector<ListRow> BuildRows(SpellCollection& spells, const FilterSet& filter,
                               const KindSet& kinds, SortOrder order) {
    std::vector<ListRow> rows;
    rows.reserve(static_cast<std::size_t>(spells.Count()));
    for (int slot = 0; slot < spells.Count(); ++slot) {
        SpellRecord& r = spells[slot];
        TBasic& b = r.basic();
        const bool passes = PassesFilter(b, filter, kinds);
        b.Shown = passes ? 1 : 0;
        if (passes)
            rows.push_back({slot, SortKey(r, order)});
    }
    spells.ShownCount = static_cast<int>(rows.size());
    return rows;
}

void AsciiCaseCollator::Prepare(const std::vector<ListRow>& rows) {
    keys_.clear();
    keys_.reserve(rows.size());
    for (const ListRow& row : rows) {
        std::string key = row.SortKey;
        for (char& c : key) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + 32);
        }
        keys_.push_back(std::move(key));
    }
}

int AsciiCaseCollator::Compare(std::size_t a, std::size_t b) const {
    return keys_[a].compare(keys_[b]);
}

void SortRows(std::vector<ListRow>& rows, RowCollator& collator) {
    collator.Prepare(rows);
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int c = collator.Compare(a, b);
        return c != 0 ? c < 0 : rows[a].Index < rows[b].Index;
    });
    std::vector<ListRow> sorted;
    sorted.reserve(rows.size());
    for (const std::size_t i : order)
        sorted.push_back(std::move(rows[i]));
    rows = std::move(sorted);
}

} // namespace spelldata
