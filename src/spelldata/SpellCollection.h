#pragma once

#include "spelldata/SpellRecord.h"

#include <vector>

namespace spelldata {

// The spell collection: up to Capacity records, dense in slots 0..Count()-1.
// Slot order is the order of loading or adding, not any display order; other
// windows refer to a record only by its slot number.
class SpellCollection {
public:
    static constexpr int Capacity = 15000;

    int Count() const { return static_cast<int>(slots_.size()); }
    int FreeSlots() const { return Capacity - Count(); }
    bool Full() const { return Count() >= Capacity; }

    // Lines of the list after the last filter run: the list's business.
    int ShownCount = 0;

    // Marked records. The collection keeps this count itself: marks change
    // through the calls below, and records come and go through Append,
    // RemoveSlot and FreeAllSpells.
    int MarkedCount() const { return marked_; }
    void SetMarked(int slot, bool marked);
    void SetAllMarked(bool marked);
    void ReverseMarks();
    // Counts the marks again after records were changed in place.
    void RecountMarks() { marked_ = CountMarked(); }

    SpellRecord& operator[](int slot) { return slots_.at(static_cast<std::size_t>(slot)); }
    const SpellRecord& operator[](int slot) const {
        return slots_.at(static_cast<std::size_t>(slot));
    }

    // Puts a record into slot Count(). Returns false, leaving the collection
    // unchanged, when all slots are taken.
    bool Append(SpellRecord record);
    // Puts a new record of `kind` into slot Count() and returns it, for the
    // caller to fill in place; the collection must not be full. Its Marked
    // byte is 0 and must stay so (or call RecountMarks()).
    SpellRecord& AppendUnmarked(SpellKind kind);
    // Puts records into slots Count() on, in their order, as many as there are
    // free slots; the rest are dropped. Returns how many were put in.
    int Append(std::vector<SpellRecord>&& records);

    // Destroys every record; the collection is empty afterwards, and both
    // counters are 0.
    void FreeAllSpells();

    // Removes the record in `slot` by moving the last record into it. Returns
    // the slot the moved record came from (Count() before the call minus one),
    // so that a list row pointing there can be renumbered.
    int RemoveSlot(int slot);

    // Counts the records whose Marked byte is set (the value MarkedCount must hold).
    int CountMarked() const;

    auto begin() { return slots_.begin(); }
    auto end() { return slots_.end(); }
    auto begin() const { return slots_.begin(); }
    auto end() const { return slots_.end(); }

private:
    std::vector<SpellRecord> slots_;
    int marked_ = 0;
};

} // namespace spelldata
