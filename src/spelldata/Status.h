#pragma once

#include <string>
#include <utility>

namespace spelldata {

// What went wrong, when something did. The core never shows messages: it hands
// the outcome back and the caller (window or command-line tool) shows it.
enum class ErrorKind {
    None,      // success
    NotFound,  // the file does not exist or cannot be opened for reading
    Malformed, // the file was read but its content is not what it must be
    Io,        // reading or writing failed part-way (disk full, permissions, ...)
    Invalid,   // the data given to a writer cannot be stored faithfully
};

struct Status {
    ErrorKind kind = ErrorKind::None;
    std::string message;

    bool ok() const { return kind == ErrorKind::None; }
    explicit operator bool() const { return ok(); }

    static Status Ok() { return {}; }
    static Status Error(ErrorKind kind, std::string message) { return {kind, std::move(message)}; }
};

} // namespace spelldata
