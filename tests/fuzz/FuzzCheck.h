#pragma once
// A property a fuzz target insists on. Under libFuzzer a broken property
// aborts so the input is kept as a crash; the replay test in the normal suite
// defines FUZZ_REQUIRE itself to report a test failure instead.
#include <cstdlib>

#ifndef FUZZ_REQUIRE
#define FUZZ_REQUIRE(condition) \
    do {                        \
        if (!(condition))       \
            std::abort();       \
    } while (0)
#endif
