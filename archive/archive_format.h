// The YZZ archive on disk: every width, offset and limit that readers and writers share.
//
//   archive_header (10 bytes), then `count` entries back to back, no index, no alignment.
//
//   +------+---------+---------+---------+---------+-----
//   | "Y0" |  total  |  count  | entry 0 | entry 1 | ...
//   +------+---------+---------+---------+---------+-----
//      2        4         4
//
//   Current layout ("Y0"): entry_header (56 bytes), then csize bytes of zlib stream.
//
//   +------+------------------+------------------------------------+---------+-------------+
//   | "YF" | name, NUL-filled | MD5 as 32 upper-case hex + 2 NULs  |  csize  | zlib stream |
//   +------+------------------+------------------------------------+---------+-------------+
//      2           16                          34                      4         csize
//
//   Legacy layout (any second magic byte but "0", written "YZ"): legacy_entry_header
//   (20 bytes), then csize bytes of zlib stream; there is no digest.
//
//   +------+--------------+---------+-------------+
//   | "YF" | name, NUL-   |  csize  | zlib stream |
//   |      | terminated   |         |             |
//   +------+--------------+---------+-------------+
//      2          14           4         csize
//
// Integers are unsigned 32-bit little-endian. Neither layout stores the unpacked length.
// `total` counts the archive with its header; writers keep it, readers never use it.
// Names are GBK bytes, the product's own code page.
#pragma once

#include <cstddef>
#include <cstdint>

#include "archive/byte_span.h"

struct archive_header {
  unsigned char magic[2];  // "Y0" current, "YZ" legacy; readers look at magic[1] only
  unsigned char total[4];  // archive length in bytes, this header included
  unsigned char count[4];  // number of entries
};

struct entry_header {
  unsigned char tag[2];      // "YF"
  unsigned char name[16];    // zero-terminated, zero-filled
  unsigned char digest[34];  // 32 upper-case hex digits of the unpacked data, 2 zero bytes
  unsigned char csize[4];    // length of the zlib stream that follows
};

struct legacy_entry_header {
  unsigned char tag[2];    // "YF"
  unsigned char name[14];  // zero-terminated
  unsigned char csize[4];  // length of the zlib stream that follows
};

static_assert(sizeof(archive_header) == 10, "archive header is 10 bytes on disk");
static_assert(sizeof(entry_header) == 56, "current entry header is 56 bytes on disk");
static_assert(sizeof(legacy_entry_header) == 20, "legacy entry header is 20 bytes on disk");
static_assert(offsetof(entry_header, digest) == 18 && offsetof(entry_header, csize) == 52,
              "current entry fields at 2, 18, 52");
static_assert(offsetof(legacy_entry_header, csize) == 16, "legacy csize at 16");

constexpr unsigned char archive_magic_lead = 'Y';
constexpr unsigned char current_layout_mark = '0';
constexpr unsigned char legacy_layout_mark = 'Z';
constexpr unsigned char entry_tag[2] = {'Y', 'F'};

// Writers keep names to 12 bytes (8.3 names) so the 16-byte field always holds a NUL.
constexpr size_t max_written_name = 12;
// Text form of a digest as md5_hex writes it: 32 digits and two zero bytes.
constexpr size_t digest_text_size = 34;

// The shared 2 MiB work buffer and its regions while an archive is unpacked.
constexpr size_t work_buffer_size = 2097152;
constexpr size_t scratch_name_offset = 0;
constexpr size_t scratch_data_offset = 100;
// The computed digest lands at scratch_data_offset + n + scratch_digest_gap (110 + n).
constexpr size_t scratch_digest_gap = 10;
// Room an entry's layout needs beyond its data: 100 before, 10 + 34 after.
constexpr size_t scratch_reserve = scratch_data_offset + scratch_digest_gap + digest_text_size;
static_assert(scratch_reserve == 144, "an entry may unpack to the scratch size less 144");
// extract_archive_file: the archive file at 0, the unpacking scratch from here on.
constexpr size_t archive_file_region = 131072;
// Limits with the whole work buffer.
constexpr size_t max_unpacked_entry = work_buffer_size - scratch_reserve;
constexpr size_t max_unpacked_single_entry = work_buffer_size - scratch_data_offset;
static_assert(max_unpacked_entry == 2097008 && max_unpacked_single_entry == 2097052,
              "entry limits of the 2 MiB work buffer");
static_assert(work_buffer_size - archive_file_region - scratch_reserve == 1965936,
              "entry limit of an archive file's scratch");

// Composed paths (directory + entry name) live in buffers of this size.
constexpr size_t max_path_bytes = 260;

enum class archive_layout { current, legacy };

struct layout_shape {
  size_t header_size;
  size_t name_size;
  size_t csize_offset;
  bool has_digest;
};

constexpr layout_shape shape_of(archive_layout layout) {
  return layout == archive_layout::current
             ? layout_shape{sizeof(entry_header), sizeof(entry_header::name),
                            offsetof(entry_header, csize), true}
             : layout_shape{sizeof(legacy_entry_header), sizeof(legacy_entry_header::name),
                            offsetof(legacy_entry_header, csize), false};
}

inline uint32_t load_u32le(const unsigned char* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void store_u32le(unsigned char* p, uint32_t value) {
  p[0] = static_cast<unsigned char>(value);
  p[1] = static_cast<unsigned char>(value >> 8);
  p[2] = static_cast<unsigned char>(value >> 16);
  p[3] = static_cast<unsigned char>(value >> 24);
}
