#include "cli/CliOptions.h"

#include <algorithm>

namespace {
bool listed(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}
} // namespace

bool CliOptions::has(const std::string& name) const {
    return listed(switches, name);
}

std::optional<std::string> CliOptions::value(const std::string& name) const {
    const auto it = values.find(name);
    if (it == values.end())
        return std::nullopt;
    return it->second;
}

CliOptions ParseCliOptions(const std::vector<std::string>& args, std::size_t first,
                           const std::vector<std::string>& withValue,
                           const std::vector<std::string>& switches) {
    CliOptions options;
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            options.positional.insert(options.positional.end(),
                                      args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                      args.end());
            break;
        }
        if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            options.positional.push_back(arg);
        } else if (listed(withValue, arg)) {
            if (i + 1 >= args.size()) {
                options.error = arg + " needs a value";
                return options;
            }
            options.values[arg] = args[++i];
        } else if (listed(switches, arg)) {
            options.switches.push_back(arg);
        } else {
            options.error = "unknown option " + arg;
            return options;
        }
    }
    return options;
}

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = text.find(',', start);
        const std::size_t end = comma == std::string::npos ? text.size() : comma;
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}
