#pragma once

#include "shared/Errore.h"

namespace vdx::test {

// The error a call raises, so a test can check its number and text; number 0
// with "no error" when it raises none.
template <typename F> vdx::Errore ErroreDi(F&& f) {
    try {
        f();
    } catch (const vdx::Errore& e) {
        return e;
    }
    return vdx::Errore(0, "no error");
}

} // namespace vdx::test
