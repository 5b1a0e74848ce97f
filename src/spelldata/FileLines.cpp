#include "spelldata/FileLines.h"

#include "spelldata/TextLines.h"

#include <algorithm>
#include <cstring>

namespace spelldata {

FileLineReader::FileLineReader(std::string_view text) : data_(text.data()), end_(text.size()) {}

FileLineReader::FileLineReader(InputFile& file, std::size_t chunk)
    : file_(&file), chunk_(std::max<std::size_t>(chunk, 64)), eof_(false) {}

bool FileLineReader::next(std::string_view& line) {
    while (true) {
        const std::size_t left = end_ - pos_;
        const char* begin = data_ + pos_;
        const std::size_t endAt = left > 0 ? FindLineEnd(begin, left) : 0;
        // A CR at the end of the bytes read so far may yet be followed by LF.
        const bool complete = eof_ || (endAt < left && (begin[endAt] == '\n' || endAt + 1 < left));
        if (!complete) {
            if (!readMore())
                return false;
            continue;
        }
        if (left == 0)
            return false;
        line = std::string_view(begin, endAt);
        pos_ += LineLength(begin, endAt, left);
        ++lineNumber_;
        return true;
    }
}

// Reads more of the file behind the unread bytes. When the buffer is full
// they move to a larger one; the old one stays until release(), since lines
// already handed out point into it.
bool FileLineReader::readMore() {
    if (end_ == capacity_) {
        const std::size_t unread = end_ - pos_;
        const std::size_t capacity = std::max(chunk_, unread * 2);
        auto larger = std::make_unique_for_overwrite<char[]>(capacity);
        if (unread > 0)
            std::memcpy(larger.get(), data_ + pos_, unread);
        if (own_)
            retired_.push_back(std::move(own_));
        own_ = std::move(larger);
        data_ = own_.get();
        capacity_ = capacity;
        pos_ = 0;
        end_ = unread;
    }
    std::size_t got = 0;
    status_ = file_->read(own_.get() + end_, capacity_ - end_, got);
    if (!status_) {
        eof_ = true;
        pos_ = end_; // nothing more is handed out
        return false;
    }
    eof_ = got == 0;
    end_ += got;
    return true;
}

void FileLineReader::release() {
    retired_.clear();
    if (!own_)
        return;
    const std::size_t unread = end_ - pos_;
    if (capacity_ > chunk_ && unread <= chunk_ / 2) {
        // A long line made the buffer grow; go back to the usual size.
        auto usual = std::make_unique_for_overwrite<char[]>(chunk_);
        std::memcpy(usual.get(), data_ + pos_, unread);
        own_ = std::move(usual);
        capacity_ = chunk_;
    } else if (pos_ >= capacity_ / 2) {
        // Move the unread bytes to the front, so that reading goes on in
        // the same buffer.
        std::memmove(own_.get(), own_.get() + pos_, unread);
    } else {
        return;
    }
    data_ = own_.get();
    pos_ = 0;
    end_ = unread;
}

} // namespace spelldata
