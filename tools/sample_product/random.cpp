#include "random.h"

std::uint64_t seed_from_name(const char* name) {
  std::uint64_t h = 14695981039346656037ull;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p) {
    h ^= *p;
    h *= 1099511628211ull;
  }
  return h ? h : 1;
}

std::uint32_t next_random(std::uint64_t& state) {
  state ^= state >> 12;
  state ^= state << 25;
  state ^= state >> 27;
  return static_cast<std::uint32_t>((state * 2685821657736338717ull) >> 32);
}

std::uint32_t random_below(std::uint64_t& state, std::uint32_t n) { return next_random(state) % n; }
