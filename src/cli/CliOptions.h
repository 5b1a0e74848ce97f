#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

// The command line of one tool command: positional arguments and --options.
// Options named in `withValue` take the next argument as their value; the rest
// are switches. "--" ends the options: every later argument is positional.
struct CliOptions {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;
    std::vector<std::string> switches;
    std::string error; // set when the line cannot be understood

    bool has(const std::string& name) const;
    std::optional<std::string> value(const std::string& name) const;
};

CliOptions ParseCliOptions(const std::vector<std::string>& args, std::size_t first,
                           const std::vector<std::string>& withValue,
                           const std::vector<std::string>& switches);

// Splits "a,b,c" at commas.
std::vector<std::string> SplitList(const std::string& text);
