#pragma once

// What both benchmark programs share: failing cleanly, timing in turns, the
// plain file baselines and the report lines with their summary.

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace bench {

// The folder of generated files, removed when the run ends or fails.
extern std::filesystem::path g_folderToRemove;
void removeFolder();

// Prints `what` under `program`'s name, removes the folder and exits with 2.
void setProgramName(const char* program);
[[noreturn]] void fail(const std::string& what);
void check(bool ok, const std::string& what);

using Clock = std::chrono::steady_clock;
double millisecondsSince(Clock::time_point start);

// One thing to time: `work` is timed; `prepare` runs untimed before it and
// `after` untimed after it (checks).
struct Task {
    Task(std::function<void()> w, std::function<void()> p = {}, std::function<void()> a = {})
        : work(std::move(w)), prepare(std::move(p)), after(std::move(a)) {}
    std::function<void()> work;
    std::function<void()> prepare;
    std::function<void()> after;
};

// While a task's work runs, it may set *g_override to replace the time of the
// run (for commands whose clock starts inside a modal dialog or stops at a
// later paint).
extern double* g_override;

// Runs the tasks in turns, `repeats` rounds of each, and returns the best time
// of each in milliseconds. Taking turns lets a busy moment on the machine slow
// both sides of a comparison alike; the best run is the one least disturbed.
std::vector<double> bestInTurns(int repeats, const std::vector<Task>& tasks);

// The whole file in one string, with plain POSIX calls.
std::string rawRead(const std::string& path);
// Writes bytes to a file with one buffered write, flushed to disk when `sync`.
void bufferedWrite(const std::string& path, const std::string& bytes, bool sync = false);

// Starts `argv` (argv[0] is looked up on PATH when it has no "/") with
// posix_spawn, collects what it prints on standard output and waits for it;
// fails the run, naming `what`, unless it exits with 0. It does
// not copy this process's page tables (a vfork-style start), so the time it
// takes does not depend on how much memory the benchmark holds.
std::string spawnProcess(const std::vector<std::string>& argv, const std::string& what);

// The full path of a program found on PATH, or empty.
std::string findOnPath(const std::string& program);

// One line of the report.
struct Line {
    std::string name;
    int records = 0; // 0: not a measurement of a spell set
    double ours = 0;
    std::optional<double> base;
    std::string unit;
    std::string target;
    std::optional<bool> met; // empty: reported only
};

// Prints the line and keeps it for the summary.
void add(Line line);
std::string format(const char* pattern, double value);
// Our time beside a baseline; the ratio must not exceed maxRatio. A target set
// for another size is shown in brackets and not judged.
void addRatio(const std::string& name, int records, double ours, double base, double maxRatio,
              bool judged = true);
// A figure reported without a target.
void addInfo(const std::string& name, int records, double ours,
             std::optional<double> base = std::nullopt, const std::string& unit = "ms");
// Prints how many targets were met and which were missed.
void printSummary();

} // namespace bench
