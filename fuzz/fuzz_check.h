#pragma once

#include <cstdio>
#include <cstdlib>

// Stops a fuzz target when a property it checks does not hold: libFuzzer and the corpus replay
// both take the abort as a finding and keep the input.
inline void FuzzCheck(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", property);
  std::abort();
}
