// A bounded cursor over the entries of an archive in memory. Every field it hands out
// lies inside the archive span; an entry that would reach past the end comes back as
// truncated, never as data.
#pragma once

#include <cstddef>
#include <cstdint>

#include "archive/archive_format.h"
#include "archive/byte_span.h"

enum class entry_status {
  ok,         // a whole header and all csize data bytes lie inside the archive
  done,       // all `count` entries have been walked
  no_tag,     // the next entry does not begin with "YF" (or nothing is left): stop
  truncated,  // tag present, but the header or its data reach past the archive's end
};

struct archive_entry {
  // The name field (name_size bytes, or fewer when the header is cut short).
  const unsigned char* name_field;
  size_t name_size;
  const unsigned char* digest;  // 34 bytes, current layout; null in the legacy layout
  uint32_t csize;
  byte_span data;  // empty unless the status is ok
};

struct archive_walk {
  byte_span archive;
  archive_layout layout;
  uint32_t count;
  uint32_t index;  // entries handed out so far
  size_t offset;   // where the next entry begins
};

// False when the span cannot hold an archive header.
bool begin_walk(byte_span archive, archive_walk* walk);

// Hands out the next entry. After anything but ok the walk stays where it is and every
// further call returns the same status.
entry_status next_entry(archive_walk* walk, archive_entry* entry);

// Copies the name field up to its terminator (or its end) into out, zero-terminated and
// cut to fit; used for messages, so it works for unterminated and hostile names too.
void copy_entry_name(const archive_entry& entry, char* out, size_t capacity);

// True when the name field is terminated inside the field and holds a plain file name
// (is_plain_file_name). Only such a name may be joined to a directory.
bool is_plain_entry_name(const archive_entry& entry);
