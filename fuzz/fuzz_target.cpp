// A libFuzzer program for one input reader, the one TORVANE_FUZZ_TARGET names:
// any input whose result fails the reader's checks stops the run as a crash.
#include <cstdio>
#include <cstdlib>

#include "input_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const torvane::InputCheck check = torvane::inputCheckNamed(TORVANE_FUZZ_TARGET);
    if (check == nullptr) {
        std::fprintf(stderr, "no reader named %s\n", TORVANE_FUZZ_TARGET);
        std::abort();
    }
    const std::string fault = check({data, size});
    if (!fault.empty()) {
        std::fprintf(stderr, "%s: %s\n", TORVANE_FUZZ_TARGET, fault.c_str());
        std::abort();
    }
    return 0;
}
