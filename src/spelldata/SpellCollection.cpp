#include "spelldata/SpellCollection.h"

#include <algorithm>
#include <stdexcept>

namespace spelldata {

bool SpellCollection::Append(SpellRecord record) {
    if (Full())
        return false;
    slots_.push_back(std::move(record));
    return true;
}

void SpellCollection::FreeAllSpells() {
    slots_.clear();
    ShownCount = 0;
    MarkedCount = 0;
}

int SpellCollection::RemoveSlot(int slot) {
    if (slot < 0 || slot >= Count())
        throw std::out_of_range("SpellCollection::RemoveSlot");
    if (slots_[static_cast<std::size_t>(slot)]->Marked && MarkedCount > 0)
        --MarkedCount;
    const int last = Count() - 1;
    if (slot != last)
        slots_[static_cast<std::size_t>(slot)] = std::move(slots_.back());
    slots_.pop_back();
    return last;
}

int SpellCollection::CountMarked() const {
    return static_cast<int>(std::count_if(slots_.begin(), slots_.end(),
                                          [](const SpellRecord& r) { return r->Marked; }));
}

} // namespace spelldata
