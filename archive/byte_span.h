// Views of memory that carry their length, so that no reader of an archive can lose
// track of where the bytes end.
#pragma once

#include <cstddef>

struct byte_span {
  const unsigned char* data;
  size_t size;
};

struct mutable_byte_span {
  unsigned char* data;
  size_t size;
};
