#pragma once

#include <ostream>
#include <string>
#include <vector>

// Exit codes of the command-line tool.
inline constexpr int ExitOk = 0;
inline constexpr int ExitUsage = 1;
inline constexpr int ExitBadFile = 2;

// Runs one command of quarvine-cli (args without the program name), printing
// results to `out` and errors to `err`. Returns the exit code.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
