// A save killed at any moment leaves either the complete old data file set or
// the complete new one, never a mix. `quarvine-cli import` writes a new set
// over an old one and is killed (SIGKILL): once before every system call of
// its save (the process runs under ptrace, so each moment between two calls
// is hit), and at random times with a fixed seed. Each time the set must read
// as the old one or the new one.

#include "spelldata/BookList.h"
#include "spelldata/DataFile.h"
#include "spelldata/SpellCollection.h"
#include "spelldata/TextExport.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/user.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace spelldata;
using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

namespace {

namespace fs = std::filesystem;

// The three files of a set, as bytes.
struct SetBytes {
    std::string dat, sbk, sbn;
    bool operator==(const SetBytes&) const = default;
};

SetBytes RawFiles(const std::string& base) {
    auto read = [](const std::string& path) {
        return fs::exists(path) ? ReadBytes(path) : std::string("(missing)");
    };
    return {read(base + ".Dat"), read(base + ".SBK"), read(base + ".SBN")};
}

// The set as the reader sees it, written back in the writer's form; empty
// .Dat bytes when the reader refuses it.
SetBytes ReadSet(const std::string& base, std::string* error = nullptr) {
    SpellCollection spells;
    BookList books;
    const ReadReport report = ReadDataFile(spells, books, base);
    if (!report.status) {
        if (error)
            *error = report.status.message;
        return {};
    }
    return {FormatDatFile(spells), FormatBookFile(books), FormatCountFile(spells)};
}

std::string SpellText(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += SaveSpell(i % 2 ? testsupport::FullPriest("New Psalm " + std::to_string(i))
                                : testsupport::FullWizard("New Spell " + std::to_string(i)),
                          2);
    return text;
}

class KillDuringSave : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(text, SpellText(2));
        // The old set has more spells and another book table than the new
        // one, so that any mix of the two reads differently from both.
        SpellCollection spells;
        for (int i = 0; i < 5; ++i)
            spells.Append(testsupport::FullPsionic("Old Mind " + std::to_string(i)));
        BookList books = InitialBookList();
        books[1] = "Old Book";
        ASSERT_TRUE(WriteDataFile(spells, books, base).ok());
        oldFiles = RawFiles(base);
        oldSet = ReadSet(base);
        ASSERT_EQ(RunToTheEnd(), 0);
        newFiles = RawFiles(base);
        newSet = ReadSet(base);
        ASSERT_NE(oldSet, newSet);
    }

    // Puts the old set back and removes everything else from the folder.
    void RestoreOldSet() {
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            if (entry.path().string() != text)
                fs::remove(entry.path());
        }
        WriteBytes(base + ".Dat", oldFiles.dat);
        WriteBytes(base + ".SBK", oldFiles.sbk);
        WriteBytes(base + ".SBN", oldFiles.sbn);
    }

    // Starts the tool on the old set; with `traced` it stops before exec
    // under ptrace.
    pid_t Start(bool traced) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (traced)
                ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
            // Leak checking at exit cannot run in a traced process.
            ::setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
            ::execl(QUARVINE_CLI, QUARVINE_CLI, "import", text.c_str(), base.c_str(), nullptr);
            ::_exit(127);
        }
        return pid;
    }

    int RunToTheEnd() {
        int status = 0;
        ::waitpid(Start(false), &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // After a kill: the set reads as the old one or the new one. Returns true
    // when the files on disk were a mix that the reader had to finish.
    bool ExpectOldOrNew(const std::string& when) {
        const SetBytes raw = RawFiles(base);
        const bool mixed = raw != oldFiles && raw != newFiles;
        std::string error;
        const SetBytes read = ReadSet(base, &error);
        EXPECT_TRUE(read == oldSet || read == newSet)
            << "killed " << when << ": the set reads as neither the old nor the new one"
            << (error.empty() ? "" : ": " + error);
        EXPECT_TRUE(RawFiles(base) == oldFiles || RawFiles(base) == newFiles) << "killed " << when;
        // Reading the set finished the save and removed what it left behind.
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            left.push_back(entry.path().filename().string());
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, (std::vector<std::string>{"SPELLS.Dat", "SPELLS.SBK", "SPELLS.SBN",
                                                  "SPELLS.TXT"}))
            << "killed " << when;
        return mixed;
    }

    TempDir dir;
    const std::string text = dir.file("SPELLS.TXT");
    const std::string base = dir.file("SPELLS");
    SetBytes oldFiles, newFiles, oldSet, newSet;
};

// Runs a traced child from exec to the end or to the syscall entry numbered
// `killAt`, where it is killed. Returns the number of syscall entries seen;
// `numbers` receives their syscall numbers when given.
int TraceAndKill(pid_t pid, int killAt, std::vector<long>* numbers) {
    int status = 0;
    ::waitpid(pid, &status, 0); // stopped at exec
    ::ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
    int entries = 0;
    bool inSyscall = false;
    int signal = 0;
    while (true) {
        ::ptrace(PTRACE_SYSCALL, pid, nullptr, reinterpret_cast<void*>(static_cast<long>(signal)));
        if (::waitpid(pid, &status, 0) < 0 || WIFEXITED(status) || WIFSIGNALED(status))
            return entries;
        signal = 0;
        if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
            signal = WSTOPSIG(status) == SIGTRAP ? 0 : WSTOPSIG(status);
            continue;
        }
        inSyscall = !inSyscall;
        if (!inSyscall)
            continue;
        if (entries == killAt) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return entries;
        }
#if defined(__x86_64__)
        if (numbers) {
            user_regs_struct regs{};
            ::ptrace(PTRACE_GETREGS, pid, nullptr, &regs);
            numbers->push_back(static_cast<long>(regs.orig_rax));
        }
#endif
        ++entries;
    }
}

bool IsLinkOrRename(long number) {
#if defined(__x86_64__)
    return number == SYS_link || number == SYS_linkat || number == SYS_rename ||
           number == SYS_renameat || number == SYS_renameat2;
#else
    (void)number;
    return true;
#endif
}

} // namespace

TEST_F(KillDuringSave, KilledBeforeAnySystemCallOfTheCommitLeavesOldOrNew) {
    RestoreOldSet();
    std::vector<long> numbers;
    const pid_t probe = Start(true);
    const int total = TraceAndKill(probe, -1, &numbers);
    int status = 0;
    ::waitpid(probe, &status, 0);
    if (total == 0)
        GTEST_SKIP() << "ptrace is not allowed here";
    ASSERT_EQ(RawFiles(base), newFiles) << "the traced run did not finish its save";
    // From a little before the first link or rename (the commit) to the end.
    int first = 0;
    while (first < static_cast<int>(numbers.size()) && !IsLinkOrRename(numbers[first]))
        ++first;
    ASSERT_LT(first, total);
    int kills = 0, mixes = 0;
    for (int at = std::max(0, first - 40); at <= total; ++at, ++kills) {
        RestoreOldSet();
        TraceAndKill(Start(true), at, nullptr);
        mixes += ExpectOldOrNew("before system call " + std::to_string(at)) ? 1 : 0;
    }
    std::printf("kills at system calls %d..%d: %d, interrupted commits finished by the reader: "
                "%d\n",
                std::max(0, first - 40), total, kills, mixes);
}

TEST_F(KillDuringSave, KilledAtRandomMomentsLeavesOldOrNew) {
    // How long a whole run takes, to spread the kills over it.
    RestoreOldSet();
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(RunToTheEnd(), 0);
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(
                           std::chrono::steady_clock::now() - start)
                           .count();
    std::mt19937 random(20240607);
    std::uniform_int_distribution<long> delay(0, whole + whole / 5);
    int kills = 0, mixes = 0, oldSeen = 0;
    for (int i = 0; i < 120; ++i, ++kills) {
        RestoreOldSet();
        const long wait = delay(random);
        const pid_t pid = Start(false);
        std::this_thread::sleep_for(std::chrono::microseconds(wait));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        mixes += ExpectOldOrNew("after " + std::to_string(wait) + " us") ? 1 : 0;
        oldSeen += ReadSet(base) == oldSet ? 1 : 0;
    }
    // The kills must fall on both sides of the commit to mean anything.
    EXPECT_GT(oldSeen, 0);
    EXPECT_LT(oldSeen, kills);
    std::printf("random kills: %d (run of %ld us), old set %d, new set %d, mixes finished %d\n",
                kills, static_cast<long>(whole), oldSeen, kills - oldSeen, mixes);
}
