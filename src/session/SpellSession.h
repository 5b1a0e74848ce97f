#pragma once

#include "collation/ListCollator.h"
#include "session/QuickMatcher.h"
#include "spelldata/BookList.h"
#include "spelldata/DataFile.h"
#include "spelldata/Filter.h"
#include "spelldata/Search.h"
#include "spelldata/SpellCollection.h"
#include "spelldata/TextImport.h"

#include <QObject>

#include <bitset>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// What one filter run admits, as the filter strip's controls say.
struct FilterRequest {
    std::bitset<14> levels;   // levels 0..13
    spelldata::KindSet kinds; // wizard, priest, psionic
    bool fullList = false;    // the "entire list" switch
    bool onlyMarked = false;
    std::optional<int> book; // with the book switch down: the chosen book
    std::optional<spelldata::SortOrder> order;
};

// One book as the records hold it: its line in the book table and, per
// slot, membership and copies.
struct BookColumn {
    std::string line;
    std::vector<std::uint8_t> members;
    std::vector<std::uint8_t> copies;
};

// The open spells and everything the windows do with them: the collection,
// the book table, the rows of the last filter run, add mode and the file the
// records came from. Windows read it and call its commands; only it (and the
// core below it) changes a record, a mark, a book or the file. Paths are the
// system's bytes (see NativePath).
class SpellSession final : public QObject {
    Q_OBJECT

public:
    explicit SpellSession(QObject* parent = nullptr);

    const spelldata::SpellCollection& spells() const { return spells_; }
    const spelldata::BookList& books() const { return books_; }
    // The slots of the listed spells, in list order.
    const std::vector<int>& rows() const { return rows_; }
    // The rows of the last filter run; the listed rows are these, or those
    // of them the quick filter lets through.
    const std::vector<int>& runRows() const { return runRows_; }
    // The slot a row shows, or -1 for a row that does not exist.
    int slotOfRow(int row) const;
    // The first row showing `slot`, or -1.
    int rowOfSlot(int slot) const;
    // Its place among the rows of the last filter run, or -1.
    int runRowOfSlot(int slot) const;

    bool addMode() const { return addMode_; }
    void setAddMode(bool on) { addMode_ = on; }
    // The data file the records were read from or last saved to; empty when
    // they came from elsewhere (a text import) or from nowhere.
    const std::string& dataSource() const { return dataSource_; }

    // The sets of the last filter run.
    const spelldata::FilterSet& filterSet() const { return filter_; }
    const spelldata::KindSet& kindSet() const { return kinds_; }

    // Direct access for setting up tests and tools. The program's own code
    // changes records through the commands below.
    spelldata::SpellCollection& rawSpells() { return spells_; }
    spelldata::BookList& rawBooks() { return books_; }

    // Files. Opening reads a data file set into a copy (or, in add mode, after
    // the records there are) and takes it only when the read succeeded; the
    // marks are cleared and the rows emptied. Importing reads spell text or a
    // JSON export the same way and always replaces.
    // The defaults are the window's: an interrupted save is finished and a
    // missing book file created.
    spelldata::ReadReport
    open(const std::string& datPath,
         spelldata::PendingSave pending = spelldata::PendingSave::Finish,
         spelldata::MissingBookFile missingBooks = spelldata::MissingBookFile::Create);
    spelldata::ImportReport import(const std::string& path);
    spelldata::Status save(const std::string& datPath);

    // One filter run over the collection; the rows follow it.
    void runFilter(const FilterRequest& request);
    // Sets Shown on the spells the search finds (see SearchSpells), for a
    // filter run over the current list to show; returns how many it found.
    int search(std::string_view needle, const spelldata::SearchOptions& options);
    void clearRows();

    // The quick filter: lists the rows of the last filter run whose text
    // holds `typed` (UTF-8, see ParseQuickQuery); empty text lists them all.
    // The next filter run drops it.
    void narrow(std::string_view typed);
    bool narrowed() const { return quick_.narrows(); }
    // Readies the quick filter's copies of the text ahead of the typing.
    void prepareNarrowing() { matcher_.prepare(spells_); }

    // Marks.
    void toggleMark(int slot);
    void unmarkAll();
    void reverseMarks();

    // Spells. Removing moves the last record into the hole; the rows follow.
    bool addSpell(spelldata::SpellRecord record);
    // An edited record: it keeps the old one's mark, shown flag and books.
    void replaceSpell(int slot, spelldata::SpellRecord record);
    void removeSpell(int slot);

    // Books. addBook puts a name at the first free position a record can
    // hold (1..255) and returns it, or -1 when there is none.
    int addBook(const std::string& name);
    void deleteBook(int book);
    void toggleBook(int slot, int book);
    // A copy count stays within 0..255; a spell outside the book has none.
    void changeCopies(int slot, int book, bool add);
    // Whether changeCopies would change the count.
    bool canChangeCopies(int slot, int book, bool add) const;
    void resetCopies(int book);
    // The position addBook would take, or -1.
    int firstFreeBook() const;

    // What the commands changed, put back (for taking a command back). Each
    // emits what the list and the counters follow. The Shown flags stay the
    // list's: a record put back is listed only where a row is given. Rows
    // here are places among the rows of the last filter run; a list the quick
    // filter narrows is narrowed again afterwards.
    //
    // Puts `record` into `slot`, moving the record there to the end, and
    // lists it at `row` (at most the last row) unless that is -1.
    void restoreSpell(int slot, spelldata::SpellRecord record, int row);
    // Replaces a record whole, its mark and books included.
    void restoreRecord(int slot, spelldata::SpellRecord record);
    // Removes the last `n` records and their rows; returns the rows they had
    // as (row, slot), in row order, for relist.
    using Listing = std::vector<std::pair<int, int>>;
    Listing removeLastSpells(int n);
    // Lists slots at the rows given, in row order.
    void relist(const Listing& listing);
    // Puts records after the last one, unlisted and with the table of books
    // they came with; every mark is cleared, as an open does.
    void restoreAppended(std::vector<spelldata::SpellRecord> records, spelldata::BookList books);
    void restoreBookTable(spelldata::BookList books);
    std::vector<std::uint8_t> marks() const;
    void restoreMarks(const std::vector<std::uint8_t>& marks);
    BookColumn bookColumn(int book) const;
    void restoreBookColumn(int book, const BookColumn& column);
    // Puts the rows back in the order of the last filter run, after a step
    // changed what they are ordered by; false when they were in order.
    bool sortRows();

signals:
    // The collection was replaced or extended by open or import.
    void collectionLoaded();
    // The rows are about to be replaced, and were.
    void rowsAboutToReset();
    void rowsReset();
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    // A record left the collection, or moved from one slot to another.
    void spellRemoved(int slot);
    void spellMoved(int from, int to);
    // What one record, or many, shows changed.
    void spellChanged(int slot);
    void spellsChanged();
    // Shown, total or marked count changed.
    void countersChanged();
    void booksChanged();

private:
    // A new filter run's rows, or none; the quick filter is dropped.
    void setRows(std::vector<int> rows);
    void showRows(std::vector<int> rows);
    void afterLoad();
    // Takes every spell out of the book.
    void clearBook(int book);
    void insertRow(int row, int slot);
    // Restoring edits the rows of the filter run: a narrowed list is widened
    // to them first and narrowed again after.
    void widen();
    void renarrow();

    spelldata::SpellCollection spells_;
    spelldata::BookList books_;
    std::vector<int> rows_;
    std::vector<int> runRows_;
    QuickQuery quick_;
    QuickMatcher matcher_;
    spelldata::FilterSet filter_;
    spelldata::KindSet kinds_;
    std::optional<spelldata::SortOrder> order_; // of the last run that sorted
    bool addMode_ = false;
    std::string dataSource_;
    // Kept across filter runs: it keeps each record's collation key.
    ListCollator collator_;
};
