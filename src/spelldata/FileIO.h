#pragma once

#include "Status.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace spelldata {

// True when the file can be opened for reading (opened and closed at once).
bool CanOpenFile(const std::string& path);

// Reads a whole file into `out`. NotFound when it cannot be opened; Io when
// reading fails part-way. `out` is only changed on success.
Status ReadFileBytes(const std::string& path, std::string& out);

// The path under which `path` exists: itself when it exists, otherwise a file
// in the same folder whose name differs only in letter case (files copied from
// systems that ignore case, such as SPELLS.DAT for SPELLS.Dat). When neither
// exists, `path` itself.
std::string ResolveFileCase(const std::string& path);

// Writes a file so that the old one survives any failure: the bytes go to a
// temporary file in the same folder, which is flushed to disk and only then
// renamed over the old file. Until commit() succeeds the old file is untouched;
// an uncommitted SaveFile removes its temporary file.
class SaveFile {
public:
    explicit SaveFile(std::string path);
    ~SaveFile();
    SaveFile(const SaveFile&) = delete;
    SaveFile& operator=(const SaveFile&) = delete;

    // Creates the temporary file. Must succeed before write().
    Status open();
    // Appends bytes to the temporary file.
    Status write(std::string_view bytes);
    // Flushes and closes the temporary file; it is then ready to be renamed.
    Status finish();
    // Renames the finished temporary file over the target.
    Status commit();

    const std::string& path() const { return path_; }

private:
    Status failure(const char* what, int error);
    void discard();

    std::string path_;
    std::string tempPath_;
    int fd_ = -1;
    bool finished_ = false;
    bool committed_ = false;
};

// Commits several finished SaveFiles as one: when a rename fails part-way, the
// files already replaced are put back from hard-linked copies of the old ones,
// so either every file is new or (as far as the file system allows) none is.
Status CommitTogether(std::initializer_list<SaveFile*> files);

// Writes a whole file safely (SaveFile open, write, finish, commit).
Status WriteFileAtomically(const std::string& path, std::string_view bytes);

} // namespace spelldata
