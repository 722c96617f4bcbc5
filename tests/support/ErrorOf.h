#pragma once

#include "shared/Error.h"

namespace vdx::test {

// The error a call raises, so a test can check its number and text; number 0
// with "no error" when it raises none.
template <typename F> vdx::Error erroreDi(F&& f) {
    try {
        f();
    } catch (const vdx::Error& e) {
        return e;
    }
    return vdx::Error(0, "no error");
}

} // namespace vdx::test
