#include "collation/ListCollator.h"

#include "spelldata/Encoding.h"

#include <QString>

#include <algorithm>
#include <iterator>
#include <numeric>

namespace {
// Letter case is folded before collating: the collator alone ignores case in
// most locales but not in the C locale, where Qt compares the raw text.
QString fromBytes(const std::string& bytes) {
    return QString::fromStdString(spelldata::Cp1252ToUtf8(bytes)).toCaseFolded();
}

// Orders `order` by key(element), a number below `range`, keeping the order
// of elements with the same key.
template <typename Key>
void countingSort(std::vector<std::size_t>& order, std::size_t range, Key key) {
    std::vector<std::size_t> next(range + 1, 0);
    for (const std::size_t element : order)
        ++next[key(element) + 1];
    std::partial_sum(next.begin(), next.end(), next.begin());
    std::vector<std::size_t> sorted(order.size());
    for (const std::size_t element : order)
        sorted[next[key(element)]++] = element;
    order = std::move(sorted);
}

} // namespace

ListCollator::ListCollator() : ListCollator(QLocale()) {}

ListCollator::ListCollator(const QLocale& locale) : collator_(locale) {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
    collator_.setNumericMode(false);
}

void ListCollator::Prepare(const std::vector<spelldata::ListRow>& rows) {
    int highest = -1;
    for (const spelldata::ListRow& row : rows)
        highest = std::max(highest, row.Index);
    if (highest >= static_cast<int>(slots_.size()))
        slots_.resize(static_cast<std::size_t>(highest) + 1);
    std::vector<int> renewed;
    for (const spelldata::ListRow& row : rows)
        renewKey(row, renewed);
    if (!renewed.empty())
        reorder(renewed);
    ranks_.clear();
    ranks_.reserve(rows.size());
    for (const spelldata::ListRow& row : rows)
        ranks_.push_back(slots_[static_cast<std::size_t>(row.Index)].rank);
}

void ListCollator::renewKey(const spelldata::ListRow& row, std::vector<int>& renewed) {
    SlotKey& slot = slots_[static_cast<std::size_t>(row.Index)];
    if (slot.key && slot.text == row.SortKey)
        return;
    slot.key = collator_.sortKey(fromBytes(row.SortKey));
    slot.text = row.SortKey;
    if (!slot.renewed) {
        slot.renewed = true;
        renewed.push_back(row.Index);
    }
}

int ListCollator::compareSlots(int a, int b) const {
    return slots_[static_cast<std::size_t>(a)].key->compare(
        *slots_[static_cast<std::size_t>(b)].key);
}

void ListCollator::reorder(std::vector<int>& renewed) {
    std::erase_if(ordered_,
                  [this](int slot) { return slots_[static_cast<std::size_t>(slot)].renewed; });
    auto before = [this](int a, int b) {
        const int c = compareSlots(a, b);
        return c != 0 ? c < 0 : a < b;
    };
    std::sort(renewed.begin(), renewed.end(), before);
    std::vector<int> merged;
    merged.reserve(ordered_.size() + renewed.size());
    std::merge(ordered_.begin(), ordered_.end(), renewed.begin(), renewed.end(),
               std::back_inserter(merged), before);
    ordered_ = std::move(merged);
    int rank = 0;
    for (std::size_t i = 0; i < ordered_.size(); ++i) {
        if (i > 0 && compareSlots(ordered_[i - 1], ordered_[i]) != 0)
            ++rank;
        SlotKey& slot = slots_[static_cast<std::size_t>(ordered_[i])];
        slot.rank = rank;
        slot.renewed = false;
    }
}

void ListCollator::Sort(std::vector<spelldata::ListRow>& rows) {
    Prepare(rows);
    // Ranks and slots are small numbers: two stable counting passes, by slot
    // and then by rank, give the key order with ties in slot order.
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    countingSort(order, slots_.size(),
                 [&rows](std::size_t row) { return static_cast<std::size_t>(rows[row].Index); });
    countingSort(order, ordered_.size(),
                 [this](std::size_t row) { return static_cast<std::size_t>(ranks_[row]); });
    std::vector<spelldata::ListRow> sorted;
    std::vector<int> ranks; // so that Compare() goes by the sorted rows
    sorted.reserve(rows.size());
    ranks.reserve(rows.size());
    for (const std::size_t row : order) {
        sorted.push_back(std::move(rows[row]));
        ranks.push_back(ranks_[row]);
    }
    rows = std::move(sorted);
    ranks_ = std::move(ranks);
}

int ListCollator::Compare(std::size_t a, std::size_t b) const {
    return (ranks_[a] > ranks_[b]) - (ranks_[a] < ranks_[b]);
}

int ListCollator::compareKeys(const std::string& a, const std::string& b) const {
    return collator_.compare(fromBytes(a), fromBytes(b));
}
