#include "archive/archive_walk.h"

#include <cstring>

#include "archive/entry_name.h"

bool begin_walk(byte_span archive, archive_walk* walk) {
  if (archive.data == nullptr || archive.size < sizeof(archive_header)) return false;
  walk->archive = archive;
  walk->layout = archive.data[offsetof(archive_header, magic) + 1] == current_layout_mark
                     ? archive_layout::current
                     : archive_layout::legacy;
  walk->count = load_u32le(archive.data + offsetof(archive_header, count));
  walk->index = 0;
  walk->offset = sizeof(archive_header);
  return true;
}

entry_status next_entry(archive_walk* walk, archive_entry* entry) {
  *entry = archive_entry{nullptr, 0, nullptr, 0, byte_span{nullptr, 0}};
  if (walk->index >= walk->count) return entry_status::done;

  const layout_shape shape = shape_of(walk->layout);
  const unsigned char* base = walk->archive.data + walk->offset;
  const size_t left = walk->archive.size - walk->offset;
  if (left < sizeof(entry_tag) || std::memcmp(base, entry_tag, sizeof(entry_tag)) != 0)
    return entry_status::no_tag;

  entry->name_field = base + sizeof(entry_tag);
  const size_t name_bytes = left - sizeof(entry_tag);
  entry->name_size = name_bytes < shape.name_size ? name_bytes : shape.name_size;
  if (left < shape.header_size) return entry_status::truncated;

  if (shape.has_digest) entry->digest = base + offsetof(entry_header, digest);
  entry->csize = load_u32le(base + shape.csize_offset);
  // csize is compared with what is left, never added to an offset first.
  if (entry->csize > left - shape.header_size) return entry_status::truncated;

  entry->data = byte_span{base + shape.header_size, entry->csize};
  walk->offset += shape.header_size + entry->csize;
  ++walk->index;
  return entry_status::ok;
}

void copy_entry_name(const archive_entry& entry, char* out, size_t capacity) {
  if (capacity == 0) return;
  size_t n = 0;
  while (n < entry.name_size && n + 1 < capacity && entry.name_field[n] != 0) {
    out[n] = static_cast<char>(entry.name_field[n]);
    ++n;
  }
  out[n] = 0;
}

bool is_plain_entry_name(const archive_entry& entry) {
  const void* nul = entry.name_field ? std::memchr(entry.name_field, 0, entry.name_size) : nullptr;
  if (nul == nullptr) return false;
  return is_plain_file_name(reinterpret_cast<const char*>(entry.name_field));
}
