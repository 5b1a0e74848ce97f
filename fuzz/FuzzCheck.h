#pragma once

// The body every fuzz target shares: run one promise check on the input and
// stop the run, keeping the input, when a promise was broken.

#include "ReaderPromises.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace fuzzcheck {

template <typename Check> int Run(const std::uint8_t* data, std::size_t size, Check check) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const promises::Findings findings = check(bytes);
    if (findings.empty())
        return 0;
    for (const std::string& f : findings)
        std::fprintf(stderr, "broken promise: %s\n", f.c_str());
    std::abort(); // libFuzzer saves the input as crash-*
}

} // namespace fuzzcheck
