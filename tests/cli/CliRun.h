#pragma once

#include "cli/CliCommands.h"

#include <sstream>
#include <string>
#include <vector>

// What one run of the tool gives: its exit code and what it printed.
struct CliResult {
    int code;
    std::string out, err;
};

// Runs the tool's entry point with `args`, as the shell would.
inline CliResult Cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = RunCli(args, out, err);
    return {code, out.str(), err.str()};
}
