#include "spelldata/BookList.h"

#include "spelldata/Encoding.h"

namespace spelldata {

BookList InitialBookList() {
    BookList books(InitialBookPositions, std::string(FreeBookLine));
    books[0] = std::string(NoBookLine);
    return books;
}

int FindBook(const BookList& books, std::string_view name) {
    for (std::size_t i = 0; i < books.size(); ++i) {
        if (EqualsIgnoringCase1252(books[i], name))
            return static_cast<int>(i);
    }
    return -1;
}

bool IsBookPosition(const BookList& books, int position) {
    return position >= 1 && position < static_cast<int>(books.size()) &&
           books[static_cast<std::size_t>(position)] != FreeBookLine;
}

} // namespace spelldata
