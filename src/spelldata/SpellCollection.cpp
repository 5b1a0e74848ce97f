#include "spelldata/SpellCollection.h"

#include <algorithm>
#include <iterator>
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

SpellRecord& SpellCollection::AppendUnmarked(SpellKind kind) {
    if (Full())
        throw std::length_error("SpellCollection::AppendUnmarked");
    return slots_.emplace_back(kind);
}

int SpellCollection::Append(std::vector<SpellRecord>&& records) {
    const auto fits = std::min<std::size_t>(records.size(), static_cast<std::size_t>(FreeSlots()));
    records.erase(records.begin() + static_cast<std::ptrdiff_t>(fits), records.end());
    marked_ += static_cast<int>(std::count_if(records.begin(), records.end(),
                                              [](const SpellRecord& r) { return r->Marked; }));
    if (slots_.empty()) {
        slots_ = std::move(records); // an empty collection takes them as they are
    } else {
        slots_.reserve(slots_.size() + fits);
        std::move(records.begin(), records.end(), std::back_inserter(slots_));
    }
    records.clear();
    return static_cast<int>(fits);
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
