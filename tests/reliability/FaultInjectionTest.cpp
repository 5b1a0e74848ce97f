// Saves into a folder where writing fails part-way: a device that fails after
// N bytes (every N over the whole save), a full file system and a read-only
// one. The previous files must stay byte for byte as they were, nothing else
// may be left in the folder, and the error must name the file.

#include "TestSupport.h"
#include "spelldata/DataFile.h"
#include "spelldata/FileIO.h"
#include "spelldata/Settings.h"
#include "spelldata/TextExport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <stdlib.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace spelldata;
using testsupport::ReadBytes;
using testsupport::TempDir;

namespace {

// The failing device: writes go through until `budget` bytes are used up,
// then every write fails with "no space left". Writes are also cut short at
// 61 bytes, so the writer's loop over partial writes is exercised.
std::size_t g_budget = 0;
std::size_t g_written = 0;

ssize_t FailingWrite(int fd, const void* data, std::size_t size) {
    if (g_budget == 0) {
        errno = ENOSPC;
        return -1;
    }
    const std::size_t n = std::min({size, g_budget, std::size_t{61}});
    const ssize_t done = ::write(fd, data, n);
    if (done > 0) {
        g_budget -= static_cast<std::size_t>(done);
        g_written += static_cast<std::size_t>(done);
    }
    return done;
}

class FailingDevice {
public:
    explicit FailingDevice(std::size_t budget) {
        g_budget = budget;
        g_written = 0;
        SetWriteCallForTesting(&FailingWrite);
    }
    ~FailingDevice() { SetWriteCallForTesting(nullptr); }
    FailingDevice(const FailingDevice&) = delete;
    FailingDevice& operator=(const FailingDevice&) = delete;
};

// A fresh folder in memory (/dev/shm) when there is one: the sweeps below
// save thousands of times, and each finished file is synced to its disk.
class ScratchDir {
public:
    ScratchDir() {
        const std::filesystem::path shm = "/dev/shm";
        std::error_code ec;
        const bool useShm =
            std::filesystem::is_directory(shm, ec) && ::access("/dev/shm", W_OK) == 0;
        std::string pattern =
            ((useShm ? shm : std::filesystem::temp_directory_path()) / "quarvine-fault-XXXXXX")
                .string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary folder");
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Every file in the folder with its bytes.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files[entry.path().filename().string()] = ReadBytes(entry.path().string());
    return files;
}

SpellCollection OldSpells() {
    SpellCollection spells;
    spells.Append(testsupport::FullWizard("Old Lantern"));
    spells.Append(testsupport::FullPsionic("Old Mind"));
    return spells;
}

SpellCollection NewSpells(int count) {
    SpellCollection spells;
    for (int i = 0; i < count; ++i)
        spells.Append(i % 2 ? testsupport::FullPriest("New Psalm " + std::to_string(i))
                            : testsupport::FullWizard("New Spell " + std::to_string(i)));
    return spells;
}

BookList NewBooks() {
    BookList books = InitialBookList();
    books[1] = "New Book";
    return books;
}

// The bytes a whole save of the new set writes, journal included.
std::size_t BytesOfAWholeSave(const std::string& base, const SpellCollection& spells) {
    FailingDevice device(std::size_t{1} << 40);
    EXPECT_TRUE(WriteDataFile(spells, NewBooks(), base).ok());
    return g_written;
}

// Which file a save that fails after `budget` bytes must name.
std::string FileFailingAt(std::size_t budget, const SpellCollection& spells,
                          const std::string& base) {
    std::size_t end = 0;
    const std::pair<std::size_t, std::string> files[] = {
        {FormatDatFile(spells).size(), base + ".Dat"},
        {FormatBookFile(NewBooks()).size(), base + ".SBK"},
        {FormatCountFile(spells).size(), base + ".SBN"},
    };
    for (const auto& [size, name] : files) {
        end += size;
        if (budget < end)
            return name;
    }
    return base + ".Dat.commit"; // the record of the renames to come
}

} // namespace

TEST(FaultInjectionTest, ADataSetSaveFailingAfterAnyByteKeepsTheOldSet) {
    ScratchDir dir;
    const std::string base = dir.file("SPELLS");
    const SpellCollection spells = NewSpells(3);
    std::size_t whole = 0;
    {
        // The same path length and an old set to replace, so that the
        // journal has the same size.
        ScratchDir probe;
        EXPECT_TRUE(WriteDataFile(OldSpells(), InitialBookList(), probe.file("SPELLS")).ok());
        whole = BytesOfAWholeSave(probe.file("SPELLS"), spells);
    }
    ASSERT_TRUE(WriteDataFile(OldSpells(), InitialBookList(), base).ok());
    const auto before = Snapshot(dir.path());

    int saves = 0;
    for (std::size_t budget = 0; budget < whole; ++budget, ++saves) {
        Status s;
        {
            FailingDevice device(budget);
            s = WriteDataFile(spells, NewBooks(), base);
        }
        ASSERT_EQ(s.kind, ErrorKind::Io) << "failing after " << budget << " bytes";
        const std::string file = FileFailingAt(budget, spells, base);
        EXPECT_NE(s.message.find(file + ":"), std::string::npos)
            << "after " << budget << " bytes: " << s.message;
        ASSERT_EQ(Snapshot(dir.path()), before) << "failing after " << budget << " bytes";
    }
    {
        FailingDevice device(whole);
        ASSERT_TRUE(WriteDataFile(spells, NewBooks(), base).ok());
    }
    SpellCollection read;
    BookList books;
    ASSERT_TRUE(ReadDataFile(read, books, base).status.ok());
    EXPECT_EQ(FormatDatFile(read), FormatDatFile(spells));
    EXPECT_EQ(books, NewBooks());
    std::printf("fault-injected data set saves: %d (every byte of %zu)\n", saves, whole);
}

TEST(FaultInjectionTest, SettingsSavesFailingAfterAnyByteKeepEachOldFile) {
    ScratchDir dir;
    const std::string folder = dir.path().string() + "/";
    Settings old;
    old.fileList = {"/old/one.Dat"};
    SetDefaultColours(old.colours);
    ASSERT_TRUE(SaveSettings(folder, old).ok());
    const auto before = Snapshot(dir.path());

    Settings changed = old;
    changed.fileList = {"/new/one.Dat", "/new/two.Dat"};
    changed.ini.DescFontName = "Liberation Serif";
    changed.colours[13] = 0x00123456;
    const std::size_t listBytes = FormatFileList(changed.fileList).size();
    const std::size_t iniBytes = FormatIniFile(changed.ini).size();
    int saves = 0;
    for (std::size_t budget = 0; budget < listBytes + iniBytes + 84; ++budget, ++saves) {
        Status s;
        {
            FailingDevice device(budget);
            s = SaveSettings(folder, changed);
        }
        ASSERT_EQ(s.kind, ErrorKind::Io) << "failing after " << budget << " bytes";
        // The first file that failed is named; the files before it are new,
        // it and the files after it are the old ones.
        const std::string names[] = {FileListName, IniFileName, ColourFileName};
        const std::string newBytes[] = {FormatFileList(changed.fileList),
                                        FormatIniFile(changed.ini),
                                        FormatColourFile(changed.colours)};
        const int first = budget < listBytes ? 0 : budget < listBytes + iniBytes ? 1 : 2;
        EXPECT_NE(s.message.find(folder + names[first] + ":"), std::string::npos) << s.message;
        const auto now = Snapshot(dir.path());
        ASSERT_EQ(now.size(), before.size()) << "a temporary file was left behind";
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(now.at(names[i]), i < first ? newBytes[i] : before.at(names[i]))
                << names[i] << ", failing after " << budget << " bytes";
        ASSERT_TRUE(SaveSettings(folder, old).ok());
    }
    std::printf("fault-injected settings saves: %d\n", saves);
}

TEST(FaultInjectionTest, AnAppendFailingAfterAnyByteLeavesTheFileAsItWas) {
    ScratchDir dir;
    const std::string path = dir.file("spells.txt");
    const std::string old = "a user's text\r\nwithout a final line end";
    const std::string added =
        SaveSpell(testsupport::FullWizard(), 2) + SaveSpell(testsupport::FullPsionic(), 2);
    for (std::size_t budget = 0; budget < added.size(); budget += 7) {
        testsupport::WriteBytes(path, old);
        Status s;
        {
            FailingDevice device(budget);
            s = WriteTextOutput(path, added, true);
        }
        ASSERT_EQ(s.kind, ErrorKind::Io) << "failing after " << budget << " bytes";
        EXPECT_NE(s.message.find(path + ": No space left on device"), std::string::npos)
            << s.message;
        ASSERT_EQ(ReadBytes(path), old) << "failing after " << budget << " bytes";
    }
    ASSERT_TRUE(WriteTextOutput(path, added, true).ok());
    EXPECT_EQ(ReadBytes(path), old + added);
}

namespace {

// A small tmpfs mounted for one test; mounting needs root and a system that
// allows it, so the tests that use it skip otherwise.
class SmallFileSystem {
public:
    SmallFileSystem() {
        if (::geteuid() == 0 &&
            ::mount("tmpfs", dir_.path().c_str(), "tmpfs", 0, "size=64k,mode=0755") == 0)
            mounted_ = true;
    }
    ~SmallFileSystem() {
        if (mounted_)
            ::umount2(dir_.path().c_str(), MNT_DETACH);
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool mounted() const { return mounted_; }
    const std::filesystem::path& path() const { return dir_.path(); }
    bool makeReadOnly() {
        return ::mount("tmpfs", dir_.path().c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k") ==
               0;
    }

private:
    TempDir dir_;
    bool mounted_ = false;
};

} // namespace

TEST(FaultInjectionTest, AFullFileSystemKeepsTheOldSetAndNamesTheFile) {
    SmallFileSystem fs;
    if (!fs.mounted())
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    const std::string base = (fs.path() / "SPELLS").string();
    ASSERT_TRUE(WriteDataFile(OldSpells(), InitialBookList(), base).ok());
    const auto before = Snapshot(fs.path());
    // Far more than 64 KB: the .Dat file alone fills the file system.
    const Status s = WriteDataFile(NewSpells(200), NewBooks(), base);
    EXPECT_EQ(s.kind, ErrorKind::Io);
    EXPECT_NE(s.message.find(base + ".Dat:"), std::string::npos) << s.message;
    EXPECT_EQ(Snapshot(fs.path()), before);

    // Settings whose file list alone does not fit.
    Settings big;
    big.fileList.assign(2000, std::string(60, 'x'));
    const std::string folder = fs.path().string() + "/";
    const Status t = SaveSettings(folder, big);
    EXPECT_EQ(t.kind, ErrorKind::Io);
    EXPECT_NE(t.message.find(folder + FileListName + ":"), std::string::npos) << t.message;
    const auto after = Snapshot(fs.path());
    EXPECT_EQ(after.count(FileListName), 0u);
    for (const auto& [name, bytes] : before)
        EXPECT_EQ(after.at(name), bytes) << name;
}

TEST(FaultInjectionTest, ADeviceThatTakesNothingFailsTheSaveAndKeepsTheOldSet) {
    ScratchDir dir;
    const std::string base = dir.file("SPELLS");
    ASSERT_TRUE(WriteDataFile(OldSpells(), InitialBookList(), base).ok());
    const auto before = Snapshot(dir.path());
    SetWriteCallForTesting([](int, const void*, std::size_t) -> ssize_t { return 0; });
    const Status s = WriteDataFile(NewSpells(2), NewBooks(), base);
    SetWriteCallForTesting(nullptr);
    EXPECT_FALSE(s.ok());
    EXPECT_EQ(Snapshot(dir.path()), before);
}

TEST(FaultInjectionTest, AReadOnlyFileSystemKeepsTheOldSetAndNamesTheFile) {
    SmallFileSystem fs;
    if (!fs.mounted())
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    const std::string base = (fs.path() / "SPELLS").string();
    ASSERT_TRUE(WriteDataFile(OldSpells(), InitialBookList(), base).ok());
    const auto before = Snapshot(fs.path());
    ASSERT_TRUE(fs.makeReadOnly());
    const Status s = WriteDataFile(NewSpells(2), NewBooks(), base);
    EXPECT_EQ(s.kind, ErrorKind::Io);
    EXPECT_NE(s.message.find(base + ".Dat:"), std::string::npos) << s.message;
    const Status t = SaveSettings(fs.path().string() + "/", Settings());
    EXPECT_EQ(t.kind, ErrorKind::Io);
    EXPECT_NE(t.message.find(FileListName), std::string::npos) << t.message;
    EXPECT_EQ(Snapshot(fs.path()), before);
    SpellCollection read;
    BookList books;
    EXPECT_TRUE(ReadDataFile(read, books, base).status.ok());
    EXPECT_EQ(read.Count(), 2);
}
