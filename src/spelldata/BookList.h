#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace spelldata {

// The book table: one line per position. Line 0 stands for no book (the full
// list), a line that is exactly "#" is a free position, and any other line is
// the name of the book whose number is its position.
using BookList = std::vector<std::string>;

inline constexpr std::string_view NoBookLine = "None - (Full List)";
inline constexpr std::string_view FreeBookLine = "#";
inline constexpr int InitialBookPositions = 155;

// A new table: the no-book line and 154 free positions.
BookList InitialBookList();

// Position of `name` in the table, compared without regard to letter case;
// -1 when it is not there.
int FindBook(const BookList& books, std::string_view name);

// True when `position` names a book (not the no-book line, not free).
bool IsBookPosition(const BookList& books, int position);

} // namespace spelldata
