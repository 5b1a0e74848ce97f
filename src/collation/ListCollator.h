#pragma once

#include "spelldata/Filter.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <optional>
#include <string>
#include <vector>

// Orders list rows as the user's locale does, without regard to letter case.
//
// A collation key is made once per slot and kept with the text it was made
// from; a later Prepare() reuses it while the slot's text is unchanged, so a
// collator kept across runs only makes keys for records that were renamed,
// moved into another slot or added. The collator also keeps every slot it has
// a key for in key order, and a row is compared by its slot's place in that
// order: a run in which no key changed compares integers only, and one in
// which a few did merges those few into the order.
class ListCollator final : public spelldata::RowCollator {
public:
    ListCollator();
    explicit ListCollator(const QLocale& locale);

    void Prepare(const std::vector<spelldata::ListRow>& rows) override;
    int Compare(std::size_t a, std::size_t b) const override;

    // Puts the rows in the order SortRows(rows, *this) gives them, without a
    // comparison sort: by rank, and rows of equal keys by slot.
    void Sort(std::vector<spelldata::ListRow>& rows);

    // Compares two keys given as the files' bytes (Windows-1252).
    int compareKeys(const std::string& a, const std::string& b) const;

private:
    struct SlotKey {
        std::string text; // the sort text the key was made from
        std::optional<QCollatorSortKey> key;
        int rank = 0;         // equal keys share a rank
        bool renewed = false; // the key was made in this Prepare()
    };
    // Makes the key of a row whose slot has none or one of another text.
    void renewKey(const spelldata::ListRow& row, std::vector<int>& renewed);
    // Takes the renewed slots out of the key order, merges them back in at
    // their new places and numbers the order again.
    void reorder(std::vector<int>& renewed);
    int compareSlots(int a, int b) const;

    QCollator collator_;
    std::vector<SlotKey> slots_;
    std::vector<int> ordered_; // the slots with a key, in key order
    std::vector<int> ranks_;   // the ranks of the prepared rows, in row order
};
