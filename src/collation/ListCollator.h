#pragma once

#include "spelldata/Filter.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <optional>
#include <string>
#include <vector>

// Orders list rows as the user's locale does, without regard to letter case.
// Sorting compares collation keys only. A key is made once per slot and kept
// with the text it was made from: a later Prepare() reuses it while the slot's
// text is unchanged, so a collator kept across runs only makes keys for the
// records that were renamed, moved into another slot or newly added.
class ListCollator final : public spelldata::RowCollator {
public:
    ListCollator();
    explicit ListCollator(const QLocale& locale);

    void Prepare(const std::vector<spelldata::ListRow>& rows) override;
    int Compare(std::size_t a, std::size_t b) const override;

    // Compares two keys given as the files' bytes (Windows-1252).
    int compareKeys(const std::string& a, const std::string& b) const;

private:
    struct SlotKey {
        std::string text; // the sort text the key was made from
        std::optional<QCollatorSortKey> key;
    };
    const QCollatorSortKey& keyFor(const spelldata::ListRow& row);

    QCollator collator_;
    std::vector<SlotKey> slots_;
    // The keys of the prepared rows, in row order; they point into slots_.
    std::vector<const QCollatorSortKey*> keys_;
};
