// The session's restoring half: what its commands changed, put back exactly.
#include "session/SpellSession.h"

#include <algorithm>

using namespace spelldata;

void SpellSession::insertRow(int row, int slot) {
    emit rowAboutToBeInserted(row);
    rows_.insert(rows_.begin() + row, slot);
    emit rowInserted(row);
}

void SpellSession::widen() {
    if (narrowed())
        showRows(runRows_);
}

void SpellSession::renarrow() {
    runRows_ = rows_;
    if (!narrowed())
        return;
    matcher_.forget();
    showRows(matcher_.match(spells_, runRows_, quick_));
    emit countersChanged();
}

void SpellSession::restoreSpell(int slot, SpellRecord record, int row) {
    widen();
    if (slot < spells_.Count()) {
        // The record a removal moved into the hole goes back to the end.
        const int last = spells_.Count();
        SpellRecord occupant = std::move(spells_[slot]);
        spells_[slot] = std::move(record);
        spells_.Append(std::move(occupant));
        std::replace(rows_.begin(), rows_.end(), slot, last);
        spells_.RecountMarks();
        emit spellMoved(slot, last);
    } else {
        spells_.Append(std::move(record));
    }
    spells_[slot]->Shown = row >= 0 ? 1 : 0;
    if (row >= 0)
        insertRow(std::min(row, static_cast<int>(rows_.size())), slot);
    spells_.ShownCount = static_cast<int>(rows_.size());
    emit spellChanged(slot);
    emit countersChanged();
    renarrow();
}

void SpellSession::restoreRecord(int slot, SpellRecord record) {
    record->Shown = spells_[slot]->Shown;
    spells_[slot] = std::move(record);
    spells_.RecountMarks();
    emit spellChanged(slot);
    emit countersChanged();
}

SpellSession::Listing SpellSession::removeLastSpells(int n) {
    widen();
    const int first = spells_.Count() - n;
    Listing listing;
    for (int row = static_cast<int>(rows_.size()) - 1; row >= 0; --row) {
        const int slot = rows_[static_cast<std::size_t>(row)];
        if (slot >= first) {
            listing.insert(listing.begin(), {row, slot});
            emit rowAboutToBeRemoved(row);
            rows_.erase(rows_.begin() + row);
            emit rowRemoved(row);
        }
    }
    while (spells_.Count() > first) {
        emit spellRemoved(spells_.Count() - 1);
        spells_.RemoveSlot(spells_.Count() - 1);
    }
    spells_.ShownCount = static_cast<int>(rows_.size());
    emit countersChanged();
    renarrow();
    return listing;
}

// Inserted in row order, each row lands where it was.
void SpellSession::relist(const Listing& listing) {
    widen();
    for (const auto& [row, slot] : listing) {
        spells_[slot]->Shown = 1;
        insertRow(std::min(row, static_cast<int>(rows_.size())), slot);
    }
    spells_.ShownCount = static_cast<int>(rows_.size());
    emit countersChanged();
    renarrow();
}

void SpellSession::restoreAppended(std::vector<SpellRecord> records, BookList books) {
    for (SpellRecord& r : records) {
        r->Shown = 0;
        spells_.Append(std::move(r));
    }
    spells_.SetAllMarked(false);
    spells_.ShownCount = static_cast<int>(rows_.size());
    restoreBookTable(std::move(books));
    emit spellsChanged();
    emit countersChanged();
}

void SpellSession::restoreBookTable(BookList books) {
    books_ = std::move(books);
    emit booksChanged();
}

std::vector<std::uint8_t> SpellSession::marks() const {
    std::vector<std::uint8_t> marks;
    marks.reserve(static_cast<std::size_t>(spells_.Count()));
    for (const SpellRecord& r : spells_)
        marks.push_back(r->Marked);
    return marks;
}

void SpellSession::restoreMarks(const std::vector<std::uint8_t>& marks) {
    const std::size_t n = std::min(marks.size(), static_cast<std::size_t>(spells_.Count()));
    for (std::size_t i = 0; i < n; ++i)
        spells_[static_cast<int>(i)]->Marked = marks[i];
    spells_.RecountMarks();
    emit spellsChanged();
    emit countersChanged();
}

BookColumn SpellSession::bookColumn(int book) const {
    BookColumn column;
    const auto b = static_cast<std::size_t>(book);
    if (b < books_.size())
        column.line = books_[b];
    if (book >= MaxBooks) // a position no record can hold
        return column;
    for (const SpellRecord& r : spells_) {
        column.members.push_back(r->BookSet.test(book) ? 1 : 0);
        column.copies.push_back(r->BookCounts[b]);
    }
    return column;
}

void SpellSession::restoreBookColumn(int book, const BookColumn& column) {
    const auto b = static_cast<std::size_t>(book);
    const bool renamed = b < books_.size() && books_[b] != column.line;
    if (renamed)
        books_[b] = column.line;
    const std::size_t n =
        book < MaxBooks ? std::min(column.members.size(), static_cast<std::size_t>(spells_.Count()))
                        : 0;
    for (std::size_t i = 0; i < n; ++i) {
        SpellRecord& r = spells_[static_cast<int>(i)];
        r->BookSet.set(book, column.members[i] != 0);
        r->BookCounts[b] = column.copies[i];
    }
    if (renamed)
        emit booksChanged();
    emit spellsChanged();
}

bool SpellSession::sortRows() {
    if (!order_)
        return false;
    std::vector<ListRow> rows;
    rows.reserve(runRows_.size());
    for (const int slot : runRows_)
        rows.push_back({slot, SortKey(spells_[slot], *order_)});
    collator_.Sort(rows);
    std::vector<int> sorted;
    sorted.reserve(rows.size());
    for (const ListRow& row : rows)
        sorted.push_back(row.Index);
    if (sorted == runRows_)
        return false;
    runRows_ = std::move(sorted);
    matcher_.forget();
    showRows(narrowed() ? matcher_.match(spells_, runRows_, quick_) : runRows_);
    return true;
}
