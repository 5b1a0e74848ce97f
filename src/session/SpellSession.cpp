#include "session/SpellSession.h"

#include "formats/SpellJson.h"

#include <algorithm>

using namespace spelldata;

SpellSession::SpellSession(QObject* parent) : QObject(parent), books_(InitialBookList()) {
    // A new window admits every level and kind.
    for (std::size_t level = 0; level <= 13; ++level)
        filter_.set(level);
    kinds_.set();
    // What the quick filter found no longer holds once a record changed.
    const auto forget = [this] { matcher_.forget(); };
    connect(this, &SpellSession::spellChanged, this, forget);
    connect(this, &SpellSession::spellsChanged, this, forget);
    connect(this, &SpellSession::collectionLoaded, this, forget);
    connect(this, &SpellSession::rowRemoved, this, forget);
}

int SpellSession::slotOfRow(int row) const {
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        return -1;
    return rows_[static_cast<std::size_t>(row)];
}

int SpellSession::rowOfSlot(int slot) const {
    const auto found = std::find(rows_.begin(), rows_.end(), slot);
    return found == rows_.end() ? -1 : static_cast<int>(found - rows_.begin());
}

int SpellSession::runRowOfSlot(int slot) const {
    const auto found = std::find(runRows_.begin(), runRows_.end(), slot);
    return found == runRows_.end() ? -1 : static_cast<int>(found - runRows_.begin());
}

void SpellSession::setRows(std::vector<int> rows) {
    runRows_ = rows;
    quick_ = {};
    matcher_.forgetFound();
    showRows(std::move(rows));
}

void SpellSession::showRows(std::vector<int> rows) {
    emit rowsAboutToReset();
    rows_ = std::move(rows);
    emit rowsReset();
}

void SpellSession::clearRows() {
    setRows({});
}

void SpellSession::narrow(std::string_view typed) {
    quick_ = ParseQuickQuery(typed);
    showRows(matcher_.match(spells_, runRows_, quick_));
    emit countersChanged();
}

ReadReport SpellSession::open(const std::string& datPath, PendingSave pending,
                              MissingBookFile missingBooks) {
    SpellCollection loaded;
    SpellCollection& target = addMode_ ? spells_ : loaded;
    BookList books = books_;
    const ReadReport report = ReadDataFile(target, books, BasePath(datPath), pending, missingBooks);
    if (!report.status)
        return report;
    if (!addMode_) {
        clearRows();
        spells_ = std::move(loaded);
        dataSource_ = datPath;
    }
    books_ = std::move(books);
    afterLoad();
    return report;
}

ImportReport SpellSession::import(const std::string& path) {
    SpellCollection imported;
    BookList books = books_; // a JSON export brings its own book table
    ImportReport report;
    if (formats::IsJsonPath(path)) {
        report.status = formats::ReadSpellsJson(path, imported, books);
        report.imported = imported.Count();
    } else {
        report = ImportSpellText(path, imported);
    }
    if (!report.status)
        return report;
    clearRows();
    spells_ = std::move(imported);
    dataSource_.clear(); // the records now come from a text file
    books_ = std::move(books);
    afterLoad();
    return report;
}

// Every record listed and unmarked until the next filter run.
void SpellSession::afterLoad() {
    spells_.ShownCount = spells_.Count();
    spells_.SetAllMarked(false);
    emit collectionLoaded();
    emit booksChanged();
    emit countersChanged();
}

Status SpellSession::save(const std::string& datPath) {
    const Status s = WriteDataFile(spells_, books_, BasePath(datPath));
    if (s)
        dataSource_ = datPath;
    return s;
}

void SpellSession::runFilter(const FilterRequest& request) {
    filter_.reset();
    kinds_ = request.kinds;
    filter_.set(request.fullList && !request.book ? EntireList : CurrentList);
    for (std::size_t level = 0; level < request.levels.size(); ++level)
        filter_.set(level, request.levels.test(level));
    if (request.book)
        ApplyBookStep(spells_, *request.book, request.fullList);
    filter_.set(request.onlyMarked ? OnlyMarked : AnyMark);
    if (request.order) {
        order_ = request.order;
        clearRows();
        std::vector<ListRow> rows = BuildRows(spells_, filter_, kinds_, *request.order);
        collator_.Sort(rows);
        std::vector<int> listed;
        listed.reserve(rows.size());
        for (const ListRow& row : rows)
            listed.push_back(row.Index);
        setRows(std::move(listed));
    }
    emit countersChanged();
}

int SpellSession::search(std::string_view needle, const SearchOptions& options) {
    return SearchSpells(needle, spells_, static_cast<std::uint16_t>(spells_.Count()), options);
}

void SpellSession::toggleMark(int slot) {
    spells_.SetMarked(slot, !spells_[slot]->Marked);
    emit spellChanged(slot);
    emit countersChanged();
}

void SpellSession::unmarkAll() {
    spells_.SetAllMarked(false);
    emit spellsChanged();
    emit countersChanged();
}

void SpellSession::reverseMarks() {
    spells_.ReverseMarks();
    emit spellsChanged();
    emit countersChanged();
}

bool SpellSession::addSpell(SpellRecord record) {
    if (!spells_.Append(std::move(record)))
        return false;
    matcher_.forget();
    emit countersChanged();
    return true;
}

void SpellSession::replaceSpell(int slot, SpellRecord record) {
    const TBasic& old = spells_[slot].basic();
    record->Marked = old.Marked;
    record->Shown = old.Shown;
    record->BookSet = old.BookSet;
    record->BookCounts = old.BookCounts;
    spells_[slot] = std::move(record);
    emit spellChanged(slot);
}

void SpellSession::removeSpell(int slot) {
    const int row = rowOfSlot(slot);
    if (row >= 0) {
        emit rowAboutToBeRemoved(row);
        rows_.erase(rows_.begin() + row);
        emit rowRemoved(row);
    }
    std::erase(runRows_, slot);
    matcher_.forget();
    emit spellRemoved(slot);
    const int moved = spells_.RemoveSlot(slot);
    std::replace(rows_.begin(), rows_.end(), moved, slot);
    std::replace(runRows_.begin(), runRows_.end(), moved, slot);
    if (moved != slot)
        emit spellMoved(moved, slot);
    spells_.ShownCount = static_cast<int>(runRows_.size());
    if (slot < spells_.Count())
        emit spellChanged(slot);
    emit countersChanged();
}

int SpellSession::firstFreeBook() const {
    for (std::size_t i = 1; i < books_.size() && i < MaxBooks; ++i) {
        if (books_[i] == FreeBookLine)
            return static_cast<int>(i);
    }
    return -1;
}

int SpellSession::addBook(const std::string& name) {
    const int book = firstFreeBook();
    if (book < 0)
        return -1;
    books_[static_cast<std::size_t>(book)] = name;
    clearBook(book);
    emit booksChanged();
    return book;
}

void SpellSession::clearBook(int book) {
    for (SpellRecord& r : spells_)
        r->BookSet.set(book, false);
}

void SpellSession::deleteBook(int book) {
    clearBook(book);
    books_[static_cast<std::size_t>(book)] = std::string(FreeBookLine);
    emit booksChanged();
    emit spellsChanged();
}

void SpellSession::toggleBook(int slot, int book) {
    SpellRecord& r = spells_[slot];
    r->BookSet.set(book, !r->BookSet.test(book));
    r->BookCounts[static_cast<std::size_t>(book)] = 0;
    emit spellChanged(slot);
}

bool SpellSession::canChangeCopies(int slot, int book, bool add) const {
    const SpellRecord& r = spells_[slot];
    if (!r->BookSet.test(book))
        return false;
    const int count = r->BookCounts[static_cast<std::size_t>(book)];
    return add ? count < 255 : count > 0;
}

void SpellSession::changeCopies(int slot, int book, bool add) {
    if (!canChangeCopies(slot, book, add))
        return;
    std::uint8_t& count = spells_[slot]->BookCounts[static_cast<std::size_t>(book)];
    count = static_cast<std::uint8_t>(add ? count + 1 : count - 1);
    emit spellChanged(slot);
}

void SpellSession::resetCopies(int book) {
    for (SpellRecord& r : spells_)
        r->BookCounts[static_cast<std::size_t>(book)] = 0;
    emit spellsChanged();
}
