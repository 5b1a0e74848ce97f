#pragma once

// The columns of a spell list row, in pixels from the row's left edge: the
// drawing, the mouse and the keys that act as presses all read them here.
namespace ListColumns {

inline constexpr int RowHeight = 17;

// Where each column starts; a press acts by the column it falls in.
inline constexpr int Mark = 0;
inline constexpr int Book = 18;
inline constexpr int Copies = 37;
inline constexpr int Level = 56;
inline constexpr int Name = 75;

// The level code is centred in this span.
inline constexpr int LevelCodeLeft = 55;
inline constexpr int LevelCodeWidth = 19;

// The thin lines between the mark, the book and the level.
inline constexpr int Dividers[] = {16, 56, 72};

enum class Column { Mark, Book, Copies, Level, Name };

constexpr Column ColumnAt(int x) {
    return x < Book     ? Column::Mark
           : x < Copies ? Column::Book
           : x < Level  ? Column::Copies
           : x < Name   ? Column::Level
                        : Column::Name;
}

} // namespace ListColumns
