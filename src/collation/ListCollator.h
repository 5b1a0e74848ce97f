#pragma once

#include "spelldata/Filter.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <vector>

// Orders list rows as the user's locale does, without regard to letter case.
// Collation keys are computed once per row, so sorting compares keys only.
class ListCollator final : public spelldata::RowCollator {
public:
    ListCollator();
    explicit ListCollator(const QLocale& locale);

    void Prepare(const std::vector<spelldata::ListRow>& rows) override;
    int Compare(std::size_t a, std::size_t b) const override;

    // Compares two keys given as the files' bytes (Windows-1252).
    int compareKeys(const std::string& a, const std::string& b) const;

private:
    QCollator collator_;
    std::vector<QCollatorSortKey> keys_;
};
