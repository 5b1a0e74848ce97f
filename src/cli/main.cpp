#include "cli/CliCommands.h"

#include <QCoreApplication>
#include <iostream>
#include <optional>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    // Qt Core gives the tool the user's locale for the list order. The
    // commands that only read a set and count or search it do without.
    std::optional<QCoreApplication> app;
    if (args.empty() || (args[0] != "info" && args[0] != "search"))
        app.emplace(argc, argv);
    return RunCli(args, std::cout, std::cerr);
}
