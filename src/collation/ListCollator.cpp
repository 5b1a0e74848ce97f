#include "collation/ListCollator.h"

#include "spelldata/Encoding.h"

#include <QString>

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

void ListCollator::Prepare(const std::vector<spelldata::ListRow>& rows) {
    keys_.clear();
    keys_.reserve(rows.size());
    for (const spelldata::ListRow& row : rows)
        keys_.push_back(collator_.sortKey(fromBytes(row.SortKey)));
}

int ListCollator::Compare(std::size_t a, std::size_t b) const {
    return keys_[a].compare(keys_[b]);
}

int ListCollator::compareKeys(const std::string& a, const std::string& b) const {
    return collator_.compare(fromBytes(a), fromBytes(b));
}
