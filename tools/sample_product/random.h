#pragma once
// A fixed-seed generator of our own: the sample product must come out byte
// for byte the same on every run and every host, which std::rand and the
// <random> distributions do not promise.

#include <cstdint>

// FNV-1a of a zero-terminated name, never 0 (xorshift sticks at 0).
std::uint64_t seed_from_name(const char* name);

// xorshift64*: returns the high 32 bits of the next value.
std::uint32_t next_random(std::uint64_t& state);

// Uniform in [0, n) for n >= 1 (the slight modulo bias does not matter here).
std::uint32_t random_below(std::uint64_t& state, std::uint32_t n);
