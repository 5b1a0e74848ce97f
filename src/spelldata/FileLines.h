#pragma once

#include "spelldata/FileIO.h"
#include "spelldata/Status.h"

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace spelldata {

// Reads the lines of a file a piece at a time, so that a large file is never
// held whole in memory; or the lines of text already in memory. Lines end as
// LineReader's do (CR LF, lone LF, lone CR; the last line needs no line end).
//
// A line read stays valid until release() is called: when a line does not
// fit into what is left of the buffer, the reader moves on to a larger buffer
// and keeps the old one until then. A reader calls release() where it holds
// no line any more, e.g. before each record.
class FileLineReader {
public:
    // The lines of `text`, which must outlive the reader.
    explicit FileLineReader(std::string_view text);
    // The lines of an open file, read in pieces of about `chunk` bytes.
    FileLineReader(InputFile& file, std::size_t chunk);

    // Reads the next line without its line end. Returns false at the end of
    // the text, and when reading the file failed (see status()).
    bool next(std::string_view& line);

    // Lets go of the lines read so far, so that their room can be used again.
    void release();

    // The number of lines read so far (the 1-based number of the last one).
    int lineNumber() const { return lineNumber_; }

    // Ok, or the error that stopped reading the file.
    const Status& status() const { return status_; }

private:
    bool fill();
    bool readMore();

    InputFile* file_ = nullptr;
    std::unique_ptr<char[]> own_;                  // the buffer in use, when reading a file
    std::vector<std::unique_ptr<char[]>> retired_; // earlier buffers, until release()
    const char* data_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t pos_ = 0; // first byte not yet read
    std::size_t end_ = 0; // end of the bytes in the buffer
    std::size_t chunk_ = 0;
    bool eof_ = true;
    int lineNumber_ = 0;
    Status status_;
};

} // namespace spelldata
