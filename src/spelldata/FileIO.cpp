#include "spelldata/FileIO.h"

#include "spelldata/Encoding.h"
#include "spelldata/TextLines.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace spelldata {

namespace fs = std::filesystem;

namespace {
WriteCall g_writeCall = &::write;

// The names a save gives its temporary files, after the target's own name:
// mkstemp's six letters or digits follow the first, the process id and a
// counter the second. RemoveStaleSaveFiles recognises exactly these.
constexpr std::string_view kTempInfix = ".save-";
constexpr std::string_view kOldInfix = ".old";
constexpr std::size_t kTempLetters = 6;
} // namespace

void SetWriteCallForTesting(WriteCall call) {
    g_writeCall = call ? call : &::write;
}

namespace {

// Opens a file for reading without waiting: a pipe with no writer or a
// device must not block the caller.
int openForReading(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
}

std::string notRegular(const struct stat& st) {
    return S_ISDIR(st.st_mode) ? "a folder, not a file" : "not a regular file (a pipe or a device)";
}

} // namespace

bool CanOpenFile(const std::string& path) {
    const int fd = openForReading(path);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

InputFile::~InputFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

Status InputFile::open(const std::string& path) {
    path_ = path;
    fd_ = openForReading(path);
    if (fd_ < 0)
        return Status::Error(ErrorKind::NotFound,
                             "Cannot open " + path + ": " + std::strerror(errno));
    // Only regular files are read: a folder, a pipe or a device named like a
    // data file would block the reader or never end.
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))
        return Status::Error(ErrorKind::Io, "Cannot read " + path + ": " + notRegular(st));
    size_ = st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0;
    return Status::Ok();
}

Status InputFile::read(char* to, std::size_t size, std::size_t& got) {
    got = 0;
    while (true) {
        const ssize_t n = ::read(fd_, to, size);
        if (n >= 0) {
            got = static_cast<std::size_t>(n);
            return Status::Ok();
        }
        if (errno != EINTR)
            return Status::Error(ErrorKind::Io,
                                 "Cannot read " + path_ + ": " + std::strerror(errno));
    }
}

Status ReadFileBytes(const std::string& path, std::string& out) {
    InputFile file;
    if (Status s = file.open(path); !s)
        return s;
    // Read straight into the string. A file may have grown since it was
    // opened, and some report no size at all: read on to the end regardless.
    std::string data(file.size() + 1, '\0');
    std::size_t done = 0;
    while (true) {
        if (done == data.size())
            data.resize(data.size() * 2);
        std::size_t got = 0;
        if (Status s = file.read(data.data() + done, data.size() - done, got); !s)
            return s;
        if (got == 0)
            break;
        done += got;
    }
    data.resize(done);
    out = std::move(data);
    return Status::Ok();
}

std::string ResolveFileCase(const std::string& path) {
    std::error_code ec;
    const fs::path p(path);
    if (fs::exists(p, ec))
        return path;
    const fs::path folder = p.has_parent_path() ? p.parent_path() : fs::path(".");
    const std::string wanted = p.filename().string();
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (AsciiEqualsIgnoringCase(name, wanted) && it->is_regular_file(ec))
            return p.has_parent_path() ? (folder / name).string() : name;
    }
    return path;
}

std::string ResolveLinks(const std::string& path) {
    fs::path p(path);
    // A bound on the chain, as the system has, so that a loop of links ends.
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec)))
            break;
        const fs::path link = fs::read_symlink(p, ec);
        if (ec)
            break;
        p = link.is_absolute() ? link : p.parent_path() / link;
    }
    return p.string();
}

SaveFile::SaveFile(std::string path) : path_(std::move(path)), target_(ResolveLinks(path_)) {}

SaveFile::~SaveFile() {
    if (!committed_)
        discard();
}

void SaveFile::discard() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!tempPath_.empty())
        ::unlink(tempPath_.c_str());
    tempPath_.clear();
}

Status SaveFile::failure(const char* what, int error) {
    discard();
    return Status::Error(ErrorKind::Io,
                         std::string(what) + " " + path_ + ": " + std::strerror(error));
}

Status SaveFile::open() {
    discard();
    // Beside the real file, so that the rename replaces it and not a link.
    std::string pattern = target_ + std::string(kTempInfix) + std::string(kTempLetters, 'X');
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0)
        return failure("Cannot create", errno);
    tempPath_ = pattern;
    // The lock tells RemoveStaleSaveFiles that this file is still being
    // written; it goes with the process.
    ::flock(fd_, LOCK_EX | LOCK_NB);
    // Keep the permissions of the file being replaced; a new file gets the
    // usual ones (0666 less the umask) instead of mkstemp's private 0600.
    struct stat st {};
    mode_t mode = 0;
    if (::stat(target_.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd_, mode);
    return Status::Ok();
}

Status SaveFile::write(std::string_view bytes) {
    if (fd_ < 0)
        return Status::Error(ErrorKind::Io, "Cannot write " + path_ + ": file not open");
    while (!bytes.empty()) {
        const ssize_t n = g_writeCall(fd_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return failure("Cannot write", errno);
        }
        // A device that takes nothing would keep the loop going for ever.
        if (n == 0)
            return failure("Cannot write", EIO);
        bytes.remove_prefix(static_cast<std::size_t>(n));
#if defined(__linux__)
        // Start putting what was written on the disk now, without waiting,
        // so that finish() mostly finds it there already.
        ::sync_file_range(fd_, written_, n, SYNC_FILE_RANGE_WRITE);
#endif
        written_ += n;
    }
    return Status::Ok();
}

Status SaveFile::finish() {
    if (fd_ < 0)
        return Status::Error(ErrorKind::Io, "Cannot write " + path_ + ": file not open");
    if (::fsync(fd_) != 0)
        return failure("Cannot write", errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        return failure("Cannot write", errno);
    finished_ = true;
    return Status::Ok();
}

Status SaveFile::commit() {
    if (!finished_) {
        if (Status s = finish(); !s)
            return s;
    }
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0)
        return failure("Cannot replace", errno);
    committed_ = true;
    tempPath_.clear();
    return Status::Ok();
}

namespace {

// A hard link to the file at `path` under a free temporary name; empty when
// there is no file or the file system has no hard links.
std::string linkOldFile(const std::string& path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string backup = path + std::string(kOldInfix) + std::to_string(::getpid()) +
                                   "-" + std::to_string(attempt);
        if (::link(path.c_str(), backup.c_str()) == 0)
            return backup;
        if (errno != EEXIST)
            return {};
    }
    return {};
}

// One file of a commit, with absolute paths so that a later process in
// another working folder can finish it.
struct CommitEntry {
    std::string temp;   // the finished temporary file
    std::string backup; // a hard link to the old file, or empty
    std::string target;
    bool hadOld = false; // a file stood at `target` before the commit
};

// Journal layout: one mode byte ('F' forward: put the new files in place,
// 'B' back: put the old ones back), then per entry four NUL-ended fields:
// temp, backup, target, "1" or "0" for hadOld.
std::string formatJournal(char mode, const std::vector<CommitEntry>& entries) {
    std::string out(1, mode);
    for (const CommitEntry& e : entries) {
        for (const std::string* field : {&e.temp, &e.backup, &e.target}) {
            out += *field;
            out += '\0';
        }
        out += e.hadOld ? "1" : "0";
        out += '\0';
    }
    return out;
}

bool parseJournal(const std::string& bytes, char& mode, std::vector<CommitEntry>& entries) {
    if (bytes.empty() || (bytes[0] != 'F' && bytes[0] != 'B'))
        return false;
    mode = bytes[0];
    std::vector<std::string> fields;
    std::size_t at = 1;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find('\0', at);
        if (end == std::string::npos)
            return false;
        fields.push_back(bytes.substr(at, end - at));
        at = end + 1;
    }
    if (fields.size() % 4 != 0)
        return false;
    for (std::size_t i = 0; i < fields.size(); i += 4) {
        if (fields[i].empty() || fields[i + 2].empty())
            return false;
        entries.push_back({fields[i], fields[i + 1], fields[i + 2], fields[i + 3] == "1"});
    }
    return true;
}

std::string absolutePath(const std::string& path) {
    std::error_code ec;
    const fs::path full = fs::absolute(fs::path(path), ec);
    return ec ? path : full.string();
}

// Makes the renames in a folder durable (best effort: some file systems
// cannot sync a folder).
void syncFolderOf(const std::string& path) {
    const fs::path folder = fs::path(absolutePath(path)).parent_path();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// Carries out a journal. Each step can be repeated, so a journal whose
// carrying out was itself interrupted is simply carried out again.
Status applyJournal(const std::string& journal, char mode,
                    const std::vector<CommitEntry>& entries) {
    Status result;
    for (const CommitEntry& e : entries) {
        if (mode == 'F') {
            if (exists(e.temp) && ::rename(e.temp.c_str(), e.target.c_str()) != 0 && result)
                result = Status::Error(ErrorKind::Io, "Cannot finish the save recorded in " +
                                                          journal + ": cannot replace " + e.target +
                                                          ": " + std::strerror(errno));
            continue;
        }
        ::unlink(e.temp.c_str());
        if (!e.backup.empty()) {
            // Renaming a link over its own file does nothing, hence the unlink.
            ::rename(e.backup.c_str(), e.target.c_str());
            ::unlink(e.backup.c_str());
        } else if (!e.hadOld) {
            ::unlink(e.target.c_str());
        }
    }
    if (!result)
        return result;
    for (const CommitEntry& e : entries) {
        if (!e.backup.empty())
            ::unlink(e.backup.c_str());
    }
    syncFolderOf(journal);
    ::unlink(journal.c_str());
    return Status::Ok();
}

std::string journalPath(const std::string& firstPath) {
    return firstPath + ".commit";
}

} // namespace

namespace {

std::string normalPath(const std::string& path) {
    return fs::path(absolutePath(path)).lexically_normal().string();
}

// The path with every link resolved, as far as it exists.
std::string resolvedPath(const std::string& path) {
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(fs::path(path), ec);
    return ec ? normalPath(path) : real.string();
}

// The path as a journal records it: the real folder (links resolved, so that
// ".." means what it means to the system) and the file's own name.
std::string recordedPath(const std::string& path) {
    const fs::path p(normalPath(path));
    return (fs::path(resolvedPath(p.parent_path().string())) / p.filename()).string();
}

bool isAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// True when `name` is a name a save of the file named `target` gives a
// temporary file: target + ".save-" and six letters or digits.
bool isTempName(std::string_view name, std::string_view target) {
    if (name.size() != target.size() + kTempInfix.size() + kTempLetters ||
        name.substr(0, target.size()) != target ||
        name.substr(target.size(), kTempInfix.size()) != kTempInfix)
        return false;
    const std::string_view letters = name.substr(target.size() + kTempInfix.size());
    return std::all_of(letters.begin(), letters.end(), isAlnum);
}

// True when `name` is a name CommitTogether gives the copy of an old file:
// target + ".old", a process id, "-" and a counter.
bool isOldCopyName(std::string_view name, std::string_view target) {
    if (name.size() <= target.size() + kOldInfix.size() ||
        name.substr(0, target.size()) != target ||
        name.substr(target.size(), kOldInfix.size()) != kOldInfix)
        return false;
    const std::string_view rest = name.substr(target.size() + kOldInfix.size());
    const std::size_t dash = rest.find('-');
    return dash != std::string_view::npos && allDigits(rest.substr(0, dash)) &&
           allDigits(rest.substr(dash + 1));
}

// Whether `other` is a file of the save of `target` that `isName` allows:
// in the target's folder, under one of the names made from the target's.
template <typename NameCheck>
bool isSideFile(const std::string& other, const std::string& target, NameCheck isName) {
    const fs::path o(other), t(target);
    return o.parent_path() == t.parent_path() &&
           isName(o.filename().string(), t.filename().string());
}

// Checks every path of a journal before anything is done with it. Empty
// when the journal stays within the group's files; otherwise the path that
// does not belong to them.
std::string foreignPath(const std::vector<CommitEntry>& entries,
                        const std::vector<std::string>& files) {
    std::vector<std::string> allowed;
    for (const std::string& f : files) {
        allowed.push_back(normalPath(f));
        allowed.push_back(recordedPath(f));
        allowed.push_back(resolvedPath(f));
    }
    auto isAllowed = [&](const std::string& path) {
        return std::find(allowed.begin(), allowed.end(), path) != allowed.end();
    };
    for (const CommitEntry& e : entries) {
        const fs::path target(e.target);
        if (!target.is_absolute() || target != target.lexically_normal() ||
            (!isAllowed(e.target) && !isAllowed(resolvedPath(e.target))))
            return e.target;
        if (!isSideFile(e.temp, e.target, isTempName))
            return e.temp;
        if (!e.backup.empty() && !isSideFile(e.backup, e.target, isOldCopyName))
            return e.backup;
    }
    return {};
}

Status refusedJournal(const std::string& journal, const std::string& why) {
    return Status::Error(ErrorKind::Malformed,
                         journal + ": " + why +
                             ". Nothing was changed. If no save of this set is running, the "
                             "file " +
                             journal + " can be removed.");
}

} // namespace

Status FinishInterruptedCommit(const std::vector<std::string>& files, PendingSave pending) {
    if (files.empty())
        return Status::Ok();
    const std::string journal = journalPath(files.front());
    if (!exists(journal))
        return Status::Ok();
    std::string bytes;
    if (Status s = ReadFileBytes(journal, bytes); !s)
        return Status::Error(ErrorKind::Io,
                             s.message + " (the record of an interrupted save of the set)");
    char mode = 'F';
    std::vector<CommitEntry> entries;
    if (!parseJournal(bytes, mode, entries))
        return refusedJournal(journal, "not the record of an interrupted save");
    if (const std::string other = foreignPath(entries, files); !other.empty())
        return refusedJournal(journal, "the record of an interrupted save names \"" +
                                           Excerpt(other) + "\", which is not a file of this set");
    if (pending == PendingSave::Report)
        return Status::Error(ErrorKind::Io,
                             journal + ": a save of this set was interrupted and is not finished; "
                                       "opening the set in the window or saving it finishes it");
    return applyJournal(journal, mode, entries);
}

int RemoveStaleSaveFiles(const std::string& path) {
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string name = target.filename().string();
    std::vector<fs::path> stale;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string other = it->path().filename().string();
        if (isTempName(other, name) || isOldCopyName(other, name))
            stale.push_back(it->path());
    }
    int removed = 0;
    for (const fs::path& file : stale) {
        // A temporary file a running save holds is locked; skip it.
        const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        if (free && ::unlink(file.c_str()) == 0)
            ++removed;
        ::close(fd);
    }
    return removed;
}

Status CommitTogether(std::initializer_list<SaveFile*> files) {
    if (files.size() == 0)
        return Status::Ok();
    const std::string journal = journalPath((*files.begin())->path());
    for (SaveFile* f : files) {
        if (!f->finished()) {
            if (Status s = f->finish(); !s)
                return s;
        }
    }
    std::vector<CommitEntry> entries;
    for (SaveFile* f : files) {
        const std::string target = recordedPath(f->target());
        const bool hadOld = exists(target);
        entries.push_back({recordedPath(f->tempPath()),
                           hadOld ? linkOldFile(target) : std::string(), target, hadOld});
    }
    if (Status s = WriteFileAtomically(journal, formatJournal('F', entries)); !s) {
        applyJournal(journal, 'B', entries);
        return s;
    }
    syncFolderOf(journal);
    for (SaveFile* f : files) {
        if (Status s = f->commit(); !s) {
            // Turn the journal round before undoing, so that an interruption
            // now is finished by putting the old files back.
            WriteFileAtomically(journal, formatJournal('B', entries));
            applyJournal(journal, 'B', entries);
            return s;
        }
    }
    return applyJournal(journal, 'F', entries);
}

Status AppendToFile(const std::string& path, std::string_view bytes) {
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return Status::Error(ErrorKind::Io, "Cannot open " + path + ": " + std::strerror(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = errno;
        ::close(fd);
        return Status::Error(ErrorKind::Io,
                             "Cannot write " + path + ": " +
                                 (S_ISREG(st.st_mode) ? std::strerror(error) : notRegular(st)));
    }
    int error = 0;
    while (!bytes.empty() && error == 0) {
        const ssize_t n = g_writeCall(fd, bytes.data(), bytes.size());
        if (n < 0 && errno != EINTR)
            error = errno;
        else if (n > 0)
            bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    if (error == 0 && ::fsync(fd) != 0 && errno != EINVAL)
        error = errno;
    if (error != 0) {
        // Take back what got in: the file ends as it did before.
        if (::ftruncate(fd, st.st_size) == 0)
            ::fsync(fd);
    }
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        return Status::Error(ErrorKind::Io, "Cannot write " + path + ": " + std::strerror(error));
    return Status::Ok();
}

Status WriteFileAtomically(const std::string& path, std::string_view bytes) {
    SaveFile file(path);
    if (Status s = file.open(); !s)
        return s;
    if (Status s = file.write(bytes); !s)
        return s;
    return file.commit();
}

} // namespace spelldata
