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

SaveFile::SaveFile(std::string path) : path_(std::move(path)) {}

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
    std::string pattern = path_ + ".XXXXXX";
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0)
        return failure("Cannot create", errno);
    tempPath_ = pattern;
    // Keep the permissions of the file being replaced; a new file gets the
    // usual ones (0666 less the umask) instead of mkstemp's private 0600.
    struct stat st {};
    mode_t mode = 0;
    if (::stat(path_.c_str(), &st) == 0) {
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
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
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
    if (::rename(tempPath_.c_str(), path_.c_str()) != 0)
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

} // namespace

Status CommitTogether(std::initializer_list<SaveFile*> files) {
    std::vector<std::string> backups;
    for (SaveFile* f : files)
        backups.push_back(linkOldFile(f->path()));
    Status result;
    std::size_t done = 0;
    for (SaveFile* f : files) {
        result = f->commit();
        if (!result)
            break;
        ++done;
    }
    std::size_t i = 0;
    for (SaveFile* f : files) {
        const std::string& backup = backups[i];
        if (!result && i < done) {
            if (backup.empty())
                ::unlink(f->path().c_str());
            else
                ::rename(backup.c_str(), f->path().c_str());
        } else if (!backup.empty()) {
            ::unlink(backup.c_str());
        }
        ++i;
    }
    return result;
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
