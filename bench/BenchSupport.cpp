#include "BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <limits>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bench {

namespace fs = std::filesystem;

fs::path g_folderToRemove;
double* g_override = nullptr;

namespace {
const char* g_program = "bench";
std::vector<Line> g_lines;
} // namespace

void removeFolder() {
    std::error_code ec;
    if (!g_folderToRemove.empty())
        fs::remove_all(g_folderToRemove, ec);
}

void setProgramName(const char* program) {
    g_program = program;
}

void fail(const std::string& what) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s: %s\n", g_program, what.c_str());
    removeFolder();
    std::_Exit(2); // no static destructors under a half-torn-down window
}

void check(bool ok, const std::string& what) {
    if (!ok)
        fail(what);
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::vector<double> bestInTurns(int repeats, const std::vector<Task>& tasks) {
    std::vector<double> best(tasks.size(), std::numeric_limits<double>::infinity());
    for (int round = 0; round < repeats; ++round) {
        for (std::size_t i = 0; i < tasks.size(); ++i) {
            if (tasks[i].prepare)
                tasks[i].prepare();
            double overridden = -1;
            g_override = &overridden;
            const Clock::time_point start = Clock::now();
            tasks[i].work();
            const double ms = millisecondsSince(start);
            g_override = nullptr;
            best[i] = std::min(best[i], overridden >= 0 ? overridden : ms);
            if (tasks[i].after)
                tasks[i].after();
        }
    }
    return best;
}

std::string rawRead(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    check(fd >= 0, "cannot open " + path);
    struct stat st {};
    check(::fstat(fd, &st) == 0, "cannot stat " + path);
    std::string data(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::read(fd, data.data() + done, data.size() - done);
        check(n > 0, "cannot read " + path);
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return data;
}

void bufferedWrite(const std::string& path, const std::string& bytes, bool sync) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    check(f != nullptr, "cannot create " + path);
    check(std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size(), "cannot write " + path);
    check(std::fflush(f) == 0, "cannot write " + path);
    if (sync)
        check(::fsync(fileno(f)) == 0, "cannot sync " + path);
    check(std::fclose(f) == 0, "cannot close " + path);
}

std::string spawnProcess(const std::vector<std::string>& argv, const std::string& what) {
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    int pipeFds[2];
    check(::pipe2(pipeFds, O_CLOEXEC) == 0, "cannot create a pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    pid_t pid = 0;
    const int started = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (started != 0)
        ::close(pipeFds[0]);
    check(started == 0, "cannot start " + what + " (" + argv[0] + ")");
    std::string out;
    char buffer[65536];
    ssize_t n = 0;
    while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
        out.append(buffer, static_cast<std::size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    check(WIFEXITED(status) && WEXITSTATUS(status) == 0,
          what + " failed with status " + std::to_string(status));
    return out;
}

std::string findOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const std::string folder = folders.substr(start, end - start);
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

void add(Line l) {
    char ratio[32] = "";
    char base[32] = "";
    if (l.base) {
        std::snprintf(base, sizeof base, "%10.2f", *l.base);
        std::snprintf(ratio, sizeof ratio, "%7.2f", l.ours / *l.base);
    }
    const std::string records = l.records > 0 ? std::to_string(l.records) : "-";
    std::printf("%-46s %6s %10.2f %10s %-3s %7s  %-12s %s\n", l.name.c_str(), records.c_str(),
                l.ours, base, l.unit.c_str(), ratio, l.target.c_str(),
                l.met ? (*l.met ? "PASS" : "MISS") : "-");
    std::fflush(stdout);
    g_lines.push_back(std::move(l));
}

std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

void addRatio(const std::string& name, int records, double ours, double base, double maxRatio,
              bool judged) {
    const std::string target = format("<= %.2f", maxRatio);
    if (judged)
        add({name, records, ours, base, "ms", target, ours / base <= maxRatio});
    else
        add({name, records, ours, base, "ms", "(" + target + ")", std::nullopt});
}

void addInfo(const std::string& name, int records, double ours, std::optional<double> base,
             const std::string& unit) {
    add({name, records, ours, base, unit, "(info)", std::nullopt});
}

void printSummary() {
    int targets = 0;
    int met = 0;
    std::string misses;
    for (const Line& l : g_lines) {
        if (!l.met)
            continue;
        ++targets;
        met += *l.met ? 1 : 0;
        if (!*l.met)
            misses += "  MISS: " + l.name +
                      (l.records > 0 ? " (" + std::to_string(l.records) + " spells)" : "") + "\n";
    }
    std::printf("\nSummary: %d of %d targets met.\n%s", met, targets, misses.c_str());
}

} // namespace bench
