#pragma once

// What a test needs from the machine (the genuine Access samples beside the
// project): on a developer's machine a test without it is skipped, saying
// why; under CI, where everything must be there, it fails.

#include <cstdlib>
#include <gtest/gtest.h>

namespace vdx::test {

inline bool SottoCi() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && *ci != '\0';
}

} // namespace vdx::test

#define VDX_RICHIEDE(condizione, motivo)                                                           \
    if (!(condizione)) {                                                                           \
        if (vdx::test::SottoCi()) {                                                                \
            FAIL() << motivo << " (required under CI)";                                            \
        }                                                                                          \
        GTEST_SKIP() << motivo;                                                                    \
    }
