#include "spelldata/SpellCollection.h"

#include <algorithm>
#include <stdexcept>

namespace spelldata {

bool SpellCollection::Append(SpellRecord record) {
    if (Full())
        return false;
    if (record->Marked)
        ++marked_;
    slots_.push_back(std::move(record));
    return true;
}

void SpellCollection::FreeAllSpells() {
    slots_.clear();
    ShownCount = 0;
    marked_ = 0;
}

void SpellCollection::SetMarked(int slot, bool marked) {
    std::uint8_t& mark = (*this)[slot]->Marked;
    if ((mark != 0) != marked)
        marked_ += marked ? 1 : -1;
    mark = marked ? 1 : 0;
}

void SpellCollection::SetAllMarked(bool marked) {
    for (SpellRecord& r : slots_)
        r->Marked = marked ? 1 : 0;
    marked_ = marked ? Count() : 0;
}

void SpellCollection::ReverseMarks() {
    for (SpellRecord& r : slots_)
        r->Marked = r->Marked ? 0 : 1;
    marked_ = Count() - marked_;
}

int SpellCollection::RemoveSlot(int slot) {
    if (slot < 0 || slot >= Count())
        throw std::out_of_range("SpellCollection::RemoveSlot");
    if (slots_[static_cast<std::size_t>(slot)]->Marked)
        --marked_;
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
