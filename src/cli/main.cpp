#include "cli/CliCommands.h"

#include <QCoreApplication>
#include <iostream>

int main(int argc, char** argv) {
    // Qt Core gives the tool the user's locale for the list order.
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    return RunCli(args, std::cout, std::cerr);
}
