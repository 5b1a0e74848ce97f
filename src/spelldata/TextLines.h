#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace spelldata {

// The offset of the first byte `a` or `b` in the `size` bytes at `text`, or
// `size` when there is none.
std::size_t FindEitherByte(const char* text, std::size_t size, char a, char b);

// The offset of the first CR or LF in the `size` bytes at `text`, or `size`
// when there is none.
inline std::size_t FindLineEnd(const char* text, std::size_t size) {
    return FindEitherByte(text, size, '\r', '\n');
}

// The bytes a line that ends at `end` of the `size` bytes at `text` takes,
// its line end included: CR LF counts two, a lone CR or LF one, none at the
// end of the bytes.
inline std::size_t LineLength(const char* text, std::size_t end, std::size_t size) {
    if (end >= size)
        return end;
    return end + (text[end] == '\r' && end + 1 < size && text[end + 1] == '\n' ? 2 : 1);
}

// Splits text into lines. A line ends at CR LF, at a lone LF or at a lone CR,
// so files written on any system read the same. The last line needs no line end.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}

    // True when no byte is left: the next read would yield no line.
    bool atEnd() const { return pos_ >= text_.size(); }

    // Reads the next line without its line end. Returns false at the end.
    bool next(std::string_view& line);

    // The number of lines read so far (the 1-based number of the last one).
    int lineNumber() const { return lineNumber_; }

    // Offset of the first byte not yet read.
    std::size_t offset() const { return pos_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int lineNumber_ = 0;
};

// The text for quoting in a message: at most `max` bytes of it, followed by
// "..." when it is longer, so that a message about a huge line stays short.
std::string Excerpt(std::string_view text, std::size_t max = 80);

} // namespace spelldata
