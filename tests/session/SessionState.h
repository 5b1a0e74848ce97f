#pragma once

// The collection as a whole, for comparing a session before and after steps
// that should cancel out: the records in slot order (their Shown flags are
// the list's and left out), the marks, the book table, the counters and,
// when asked for, the rows.
#include "session/SpellSession.h"

#include <string>
#include <vector>

struct SessionState {
    std::vector<spelldata::SpellRecord> records;
    spelldata::BookList books;
    int marked = 0;
    std::vector<int> rows;
};

// A run that lists everything, as the window makes after opening and adding.
inline FilterRequest everything() {
    FilterRequest request;
    request.levels.set();
    request.kinds.set();
    request.fullList = true;
    request.order = spelldata::SortOrder::Name;
    return request;
}

inline SessionState StateOf(const SpellSession& session) {
    SessionState state;
    for (spelldata::SpellRecord r : session.spells()) {
        r->Shown = 0;
        state.records.push_back(std::move(r));
    }
    state.books = session.books();
    state.marked = session.spells().MarkedCount();
    state.rows = session.rows();
    return state;
}

// Empty when the two agree; otherwise the first difference.
inline std::string StateDifference(const SessionState& a, const SessionState& b,
                                   bool withRows = true) {
    if (a.records.size() != b.records.size())
        return std::to_string(a.records.size()) + " records, not " +
               std::to_string(b.records.size());
    for (std::size_t slot = 0; slot < a.records.size(); ++slot) {
        if (!(a.records[slot] == b.records[slot]))
            return "slot " + std::to_string(slot) + " holds " + a.records[slot]->Name +
                   " (marked " + std::to_string(a.records[slot]->Marked) + "), not " +
                   b.records[slot]->Name + " (marked " + std::to_string(b.records[slot]->Marked) +
                   ") or differs in a field";
    }
    if (a.books != b.books)
        return "the book tables differ";
    if (a.marked != b.marked)
        return "MarkedCount " + std::to_string(a.marked) + ", not " + std::to_string(b.marked);
    if (withRows && a.rows != b.rows)
        return "the rows differ";
    return {};
}
