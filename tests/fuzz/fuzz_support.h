#pragma once
// What the fuzzers share: a broken check aborts, which libFuzzer reports as a finding.
#include <cstdio>
#include <cstdlib>

inline void require(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "check failed: %s\n", what);
    std::abort();
}
