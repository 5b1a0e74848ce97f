#include "collation/ListCollator.h"

#include "spelldata/Encoding.h"

#include <QString>

#include <algorithm>

namespace {
// Letter case is folded before collating: the collator alone ignores case in
// most locales but not in the C locale, where Qt compares the raw text.
QString fromBytes(const std::string& bytes) {
    return QString::fromStdString(spelldata::Cp1252ToUtf8(bytes)).toCaseFolded();
}
} // namespace

ListCollator::ListCollator() : ListCollator(QLocale()) {}

ListCollator::ListCollator(const QLocale& locale) : collator_(locale) {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
    collator_.setNumericMode(false);
}

const QCollatorSortKey& ListCollator::keyFor(const spelldata::ListRow& row) {
    SlotKey& cached = slots_[static_cast<std::size_t>(row.Index)];
    if (!cached.key || cached.text != row.SortKey) {
        cached.key = collator_.sortKey(fromBytes(row.SortKey));
        cached.text = row.SortKey;
    }
    return *cached.key;
}

void ListCollator::Prepare(const std::vector<spelldata::ListRow>& rows) {
    int highest = -1;
    for (const spelldata::ListRow& row : rows)
        highest = std::max(highest, row.Index);
    // Grown before any key is taken, so that the pointers below stay valid.
    if (highest >= static_cast<int>(slots_.size()))
        slots_.resize(static_cast<std::size_t>(highest) + 1);
    keys_.clear();
    keys_.reserve(rows.size());
    for (const spelldata::ListRow& row : rows)
        keys_.push_back(&keyFor(row));
}

int ListCollator::Compare(std::size_t a, std::size_t b) const {
    return keys_[a]->compare(*keys_[b]);
}

int ListCollator::compareKeys(const std::string& a, const std::string& b) const {
    return collator_.compare(fromBytes(a), fromBytes(b));
}
