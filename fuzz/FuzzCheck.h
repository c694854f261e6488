#pragma once

#include <cstdio>
#include <cstdlib>

namespace vastrel::fuzz {

// Stops the run when an invariant does not hold, so libFuzzer keeps the input that broke it.
inline void check(bool holds, const char* invariant) {
    if (!holds) {
        std::fprintf(stderr, "Invariant broken: %s\n", invariant);
        std::abort();
    }
}

} // namespace vastrel::fuzz
