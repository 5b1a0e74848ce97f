#include "FileIO.h"

#include "Encoding.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace spelldata {

namespace fs = std::filesystem;

namespace {
WriteCall g_writeCall = &::write;
} // namespace

void SetWriteCallForTesting(WriteCall call) {
    g_writeCall = call ? call : &::write;
}

bool CanOpenFile(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    std::fclose(f);
    return true;
}

Status ReadFileBytes(const std::string& path, std::string& out) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return Status::Error(ErrorKind::NotFound,
                             "Cannot open " + path + ": " + std::strerror(errno));
    std::string data;
    struct stat st {};
    if (fstat(fileno(f), &st) == 0 && st.st_size > 0)
        data.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[1 << 16];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        data.append(buffer, n);
    const bool failed = std::ferror(f) != 0;
    const int error = errno;
    std::fclose(f);
    if (failed)
        return Status::Error(ErrorKind::Io, "Cannot read " + path + ": " + std::strerror(error));
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
    std::string pattern = target_ + ".XXXXXX";
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0)
        return failure("Cannot create", errno);
    tempPath_ = pattern;
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
        bytes.remove_prefix(static_cast<std::size_t>(n));
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
        const std::string backup =
            path + ".old" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
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

Status FinishInterruptedCommit(const std::string& firstPath) {
    const std::string journal = journalPath(firstPath);
    if (!exists(journal))
        return Status::Ok();
    std::string bytes;
    if (Status s = ReadFileBytes(journal, bytes); !s)
        return Status::Error(ErrorKind::Io,
                             s.message + " (the record of an interrupted save of the set)");
    char mode = 'F';
    std::vector<CommitEntry> entries;
    if (!parseJournal(bytes, mode, entries))
        return Status::Error(ErrorKind::Malformed,
                             journal + ", byte 0: not the record of an interrupted save");
    return applyJournal(journal, mode, entries);
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
        const std::string target = absolutePath(f->target());
        const bool hadOld = exists(target);
        entries.push_back({absolutePath(f->tempPath()),
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

Status WriteFileAtomically(const std::string& path, std::string_view bytes) {
    SaveFile file(path);
    if (Status s = file.open(); !s)
        return s;
    if (Status s = file.write(bytes); !s)
        return s;
    return file.commit();
}

} // namespace spelldata
