#pragma once

#include <cstdlib>

namespace zem::fuzz {

// A property that must hold whatever the input: a failure is a crash the fuzzer keeps.
inline void Verifica(bool condizione)
{
    if (!condizione) std::abort();
}

} // namespace zem::fuzz
