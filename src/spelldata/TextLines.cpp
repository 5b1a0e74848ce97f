#include "spelldata/TextLines.h"

#include <cstring>

namespace spelldata {

bool LineReader::next(std::string_view& line) {
    if (atEnd())
        return false;
    const char* begin = text_.data() + pos_;
    const std::size_t left = text_.size() - pos_;
    // Find the first CR or LF; memchr for each is fast on long lines.
    const void* lf = std::memchr(begin, '\n', left);
    const std::size_t lfAt =
        lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - begin) : left;
    const void* cr = std::memchr(begin, '\r', lfAt);
    const std::size_t end =
        cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - begin) : lfAt;

    line = std::string_view(begin, end);
    std::size_t consumed = end;
    if (end < left) {
        ++consumed;
        if (begin[end] == '\r' && end + 1 < left && begin[end + 1] == '\n')
            ++consumed;
    }
    pos_ += consumed;
    ++lineNumber_;
    return true;
}

std::string Excerpt(std::string_view text, std::size_t max) {
    if (text.size() <= max)
        return std::string(text);
    return std::string(text.substr(0, max)) + "...";
}

} // namespace spelldata
