#pragma once
// What a fuzz target holds true of every input: a property that fails is named and stops the run,
// and libFuzzer keeps the input that broke it.
#include <cstdio>
#include <cstdlib>

namespace orvasel::fuzz {

inline void check(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

}  // namespace orvasel::fuzz
