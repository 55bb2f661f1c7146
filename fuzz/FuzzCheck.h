#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the fuzz run with the broken rule named, so that libFuzzer keeps the
// input that broke it. A plain assert would vanish from a build with NDEBUG.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)
