#pragma once

// What every fuzz target checks beyond the sanitizers: a broken promise of
// the stores ends the run as a crash, which libFuzzer keeps as a finding.
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition) \
    ((condition) ? void(0) : (std::fprintf(stderr, "%s:%d: broken promise: %s\n", __FILE__, __LINE__, #condition), std::abort()))
