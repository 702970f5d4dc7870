#pragma once

#include <cstdio>
#include <cstdlib>

// A property every input must keep. A broken one stops the fuzzer as a crash,
// so that libFuzzer saves the input that broke it.
inline void require(bool holds, const char* property)
{
    if (holds)
        return;
    std::fprintf(stderr, "broken: %s\n", property);
    std::abort();
}
