#include "session/QuickMatcher.h"

#include "spelldata/Encoding.h"
#include "spelldata/Search.h"

using namespace spelldata;

namespace {

// One table folds the typed text and the records alike.
constexpr std::array<unsigned char, 256> kFold = [] {
    std::array<unsigned char, 256> table{};
    for (std::size_t c = 0; c < table.size(); ++c)
        table[c] = FoldCase1252(static_cast<unsigned char>(c));
    return table;
}();

struct Prefix {
    std::string_view text;
    QuickQuery::Scope scope;
};

// "src:" before "s:", which begins it.
constexpr Prefix kPrefixes[] = {{"src:", QuickQuery::Scope::Sources},
                                {"d:", QuickQuery::Scope::NamesAndDescriptions},
                                {"s:", QuickQuery::Scope::Schools}};

} // namespace

std::string FoldText(std::string_view bytes) {
    std::string folded(bytes.size(), '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        folded[i] = static_cast<char>(kFold[static_cast<unsigned char>(bytes[i])]);
    return folded;
}

QuickQuery ParseQuickQuery(std::string_view typed) {
    QuickQuery query;
    bool lossless = true;
    std::string text = FoldText(Utf8ToCp1252(typed, &lossless));
    for (const Prefix& prefix : kPrefixes) {
        if (text.starts_with(prefix.text)) {
            query.scope = prefix.scope;
            const std::size_t start = text.find_first_not_of(' ', prefix.text.size());
            text.erase(0, start == std::string::npos ? text.size() : start);
            break;
        }
    }
    query.needle = std::move(text);
    query.unmatchable = !lossless;
    return query;
}

namespace {

const std::string& fieldText(const SpellRecord& record, int field) {
    static const std::string none;
    const TBasic& b = record.basic();
    switch (field) {
    case 0:
        return b.Name;
    case 1:
        return b.Description;
    case 2:
        return b.School;
    case 3:
        return record.kind() == SpellKind::Priest ? record.pri().Sphere : none;
    default:
        return b.Source;
    }
}

} // namespace

const std::string& QuickMatcher::folded(const SpellCollection& spells, int slot, Field field) {
    std::vector<Folded>& copies = fields_[field];
    const auto at = static_cast<std::size_t>(slot);
    if (at >= copies.size())
        copies.resize(at + 1);
    Folded& copy = copies[at];
    if (!copy.checked) {
        const std::string& text = fieldText(spells[slot], field);
        if (copy.source != text) {
            copy.source = text;
            copy.folded = FoldText(text);
        }
        copy.checked = true;
    }
    return copy.folded;
}

bool QuickMatcher::holds(const SpellCollection& spells, int slot, const QuickQuery& query) {
    const std::string_view needle = query.needle;
    switch (query.scope) {
    case QuickQuery::Scope::Names:
        return ContainsBytes(folded(spells, slot, Name), needle);
    case QuickQuery::Scope::NamesAndDescriptions:
        return ContainsBytes(folded(spells, slot, Name), needle) ||
               ContainsBytes(folded(spells, slot, Description), needle);
    case QuickQuery::Scope::Schools:
        return ContainsBytes(folded(spells, slot, School), needle) ||
               ContainsBytes(folded(spells, slot, Sphere), needle);
    case QuickQuery::Scope::Sources:
        return ContainsBytes(folded(spells, slot, Source), needle);
    }
    return false;
}

void QuickMatcher::forget() {
    found_.clear();
    for (std::vector<Folded>& copies : fields_) {
        for (Folded& copy : copies)
            copy.checked = false;
    }
}

const QuickMatcher::Found* QuickMatcher::narrowest(const QuickQuery& query) const {
    const Found* best = nullptr;
    for (const Found& f : found_) {
        if (f.query.scope == query.scope &&
            query.needle.find(f.query.needle) != std::string::npos &&
            (!best || f.query.needle.size() > best->query.needle.size()))
            best = &f;
    }
    return best;
}

std::vector<int> QuickMatcher::match(const SpellCollection& spells,
                                     const std::vector<int>& candidates, const QuickQuery& query) {
    if (!query.narrows())
        return candidates;
    if (query.unmatchable)
        return {};
    const Found* start = narrowest(query);
    if (start && start->query == query)
        return start->matches;
    Found found{query, {}};
    for (const int slot : start ? start->matches : candidates) {
        if (slot >= 0 && slot < spells.Count() && holds(spells, slot, query))
            found.matches.push_back(slot);
    }
    constexpr std::size_t kKept = 64;
    if (found_.size() >= kKept)
        found_.erase(found_.begin());
    found_.push_back(found);
    return found.matches;
}

void QuickMatcher::prepare(const SpellCollection& spells) {
    for (const Field field : {Description, School, Sphere, Source, Name}) {
        // The names last: the first key searches them while they are still
        // in the processor's caches.
        for (int slot = 0; slot < spells.Count(); ++slot)
            folded(spells, slot, field);
    }
}
