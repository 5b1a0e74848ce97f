#pragma once

#include "spelldata/Status.h"

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace spelldata {

// True when the file can be opened for reading (opened and closed at once).
bool CanOpenFile(const std::string& path);

// Reads a whole file into `out`. NotFound when it cannot be opened; Io when
// reading fails part-way. `out` is only changed on success.
Status ReadFileBytes(const std::string& path, std::string& out);

// A regular file open for reading, for readers that take it a piece at a time.
// The file is closed when the object goes.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // NotFound when the file cannot be opened; Io when it is a folder, a pipe
    // or a device, which would block a reader or never end.
    Status open(const std::string& path);
    // Reads up to `size` bytes into `to`; `got` is 0 at the end of the file.
    // Io, naming the file and the system's reason, when reading fails.
    Status read(char* to, std::size_t size, std::size_t& got);

    // The size the file had when it was opened.
    std::size_t size() const { return size_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    int fd_ = -1;
    std::size_t size_ = 0;
};

// The path under which `path` exists: itself when it exists, otherwise a file
// in the same folder whose name differs only in letter case (files copied from
// systems that ignore case, such as SPELLS.DAT for SPELLS.Dat). When neither
// exists, `path` itself.
std::string ResolveFileCase(const std::string& path);

// The file a path finally names: a symbolic link is followed, link by link,
// to what it points at (which need not exist yet). Other paths come back as
// they are.
std::string ResolveLinks(const std::string& path);

// Writes a file so that the old one survives any failure: the bytes go to a
// temporary file in the same folder, which is flushed to disk and only then
// renamed over the old file. A path that is a symbolic link is saved through
// it: the temporary file goes beside the file the link points at and replaces
// that file, so the link stays a link. Until commit() succeeds the old file is untouched;
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
    // The file that is replaced: path() with symbolic links followed.
    const std::string& target() const { return target_; }
    // The temporary file's path while it exists, empty otherwise.
    const std::string& tempPath() const { return tempPath_; }
    bool finished() const { return finished_; }

private:
    Status failure(const char* what, int error);
    void discard();

    std::string path_;
    std::string target_;
    std::string tempPath_;
    int fd_ = -1;
    off_t written_ = 0;
    bool finished_ = false;
    bool committed_ = false;
};

// Commits several SaveFiles as one, so that a reader sees either every old
// file or every new one, also when the process dies part-way.
//
// Before the first rename a journal, the first file's path plus ".commit",
// is put in place atomically. It lists, for every file, the temporary file,
// a hard-linked copy of the old file and the target. The renames follow, and
// the journal goes last. A process killed between two renames leaves the
// journal behind; FinishInterruptedCommit() then completes the renames it
// lists. When a rename fails, the journal is turned round first and the old
// files are put back from their copies, so an interruption of that is
// finished the same way. The files' own bytes are never changed by this.
Status CommitTogether(std::initializer_list<SaveFile*> files);

// What a reader does with a save of its files that a killed process left
// half done: finish it (a reader that may write, such as the window), or
// only report it (reading commands that must not change anything).
enum class PendingSave { Finish, Report };

// Completes a commit that a killed process left half done (see
// CommitTogether), given the group's files; the first one names the journal.
// Nothing happens when there is no journal. Readers of a group of files call
// this before reading; an error names the journal and the file that could not
// be renamed.
//
// A journal may only name the group's own files, their temporary files and
// the copies of their old files, in their own folder. A journal that names
// anything else, or that cannot be parsed, is refused as Malformed and nothing
// is touched; the message says that the journal file can be removed. With
// PendingSave::Report a valid journal is not carried out either: the result
// is an Io error saying that the save is unfinished.
Status FinishInterruptedCommit(const std::vector<std::string>& files,
                               PendingSave pending = PendingSave::Finish);

// Removes the temporary files that killed saves of `path` left behind: only
// names that SaveFile and CommitTogether make for that file name, in its
// folder, and no temporary file that a running save still holds open.
// Returns how many files were removed.
int RemoveStaleSaveFiles(const std::string& path);

// Appends bytes to a file, creating it when it does not exist. On any error
// while writing, the file is cut back to the length it had, so it never ends
// in half of what was to be added; the message names the file and gives the
// system's reason.
Status AppendToFile(const std::string& path, std::string_view bytes);

// Writes a whole file safely (SaveFile open, write, finish, commit).
Status WriteFileAtomically(const std::string& path, std::string_view bytes);

// The call SaveFile writes with; ::write unless a test has put a failing one
// in place (nullptr restores ::write). Tests use it to see what a save does
// when the device fails or fills up part-way. Not for use from threads.
using WriteCall = ssize_t (*)(int fd, const void* data, std::size_t size);
void SetWriteCallForTesting(WriteCall call);

} // namespace spelldata
