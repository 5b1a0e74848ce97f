#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzcheck::Run(data, size, [](std::string_view b) { return promises::CheckIniFile(b); });
}
