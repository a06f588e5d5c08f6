#include "archive/archive_reader.h"

#include <zlib.h>

#include <climits>
#include <cstring>

#include "archive/archive_format.h"
#include "archive/archive_walk.h"
#include "archive/contains_text.h"
#include "archive/entry_name.h"
#include "archive/file_io.h"
#include "archive/file_ops.h"
#include "archive/md5_hex.h"
#include "archive/word_list.h"

namespace {

// The entry whose text is compacted on the way out (exact, case-sensitive).
constexpr char word_library_entry[] = "yingcyzk.bak";
constexpr char verify_shortfall_line[] = "有文件没有成功解压，请重新下载安装！\r\n";
constexpr char verify_name_suffix[] = "....";

// A name field is at most 16 bytes; the terminator makes 17.
using entry_name_text = char[sizeof(entry_header::name) + 1];

// zlib counts in uLong, which is 32 bits on Windows.
uLong zlib_length(size_t n) { return n > ULONG_MAX ? ULONG_MAX : static_cast<uLong>(n); }

// A stored digest matches when the computed text is a real digest and equal to it.
bool digest_matches(const char* computed, const unsigned char* stored) {
  return computed[0] != 0 &&
         std::strncmp(computed, reinterpret_cast<const char*>(stored), digest_text_size) == 0;
}

bool unpack_entry(const archive_entry& entry, archive_layout layout, const char* name,
                  mutable_byte_span scratch, const char* target_dir) {
  if (!is_plain_entry_name(entry) || scratch.data == nullptr || scratch.size < scratch_reserve)
    return false;
  char target[max_path_bytes];
  if (!join_path(target_dir, name, target, sizeof target)) return false;

  unsigned char* data = scratch.data + scratch_data_offset;
  uLongf unpacked = zlib_length(scratch.size - scratch_reserve);
  if (uncompress(data, &unpacked, entry.data.data, zlib_length(entry.data.size)) != Z_OK ||
      unpacked == 0)
    return false;
  size_t n = unpacked;

  if (layout == archive_layout::current) {
    char* computed = reinterpret_cast<char*>(data + n + scratch_digest_gap);
    md5_hex(data, n, computed);
    if (!digest_matches(computed, entry.digest)) return false;
  }

  if (remove_file(target) == -1) rename_aside(target);

  if (std::strcmp(name, word_library_entry) == 0)
    n = compact_word_list(data, n) + word_list_trailer_size;

  file_io::scoped_file file(file_io::create(target));
  if (!file) return false;
  return file_io::write(file.get(), data, n) == n;
}

// A report that never grows past its buffer.
struct report_text {
  char* text;
  size_t capacity;
  size_t length;

  // Appends the pieces whole, or nothing, keeping reserve bytes free.
  void append(const char* first, const char* second, size_t reserve) {
    if (text == nullptr) return;
    const size_t a = std::strlen(first), b = std::strlen(second);
    if (length + a + b + reserve + 1 > capacity) return;
    std::memcpy(text + length, first, a);
    std::memcpy(text + length + a, second, b);
    length += a + b;
    text[length] = 0;
  }
};

bool verify_entry(const archive_entry& entry, archive_layout layout, const char* name,
                  const char* target_dir, const char* exclusions) {
  // A hostile name never gets a path: nothing outside target_dir is even read.
  if (!is_plain_entry_name(entry)) return false;
  char installed[max_path_bytes];
  if (!join_path(target_dir, name, installed, sizeof installed)) return false;
  char digest[digest_text_size];
  const size_t bytes_read = file_md5_hex(installed, digest);
  if (layout == archive_layout::legacy) return bytes_read >= entry.csize;
  if (digest_matches(digest, entry.digest)) return true;
  return exclusions != nullptr && contains_text(exclusions, name);
}

}  // namespace

bool extract_archive(byte_span archive, mutable_byte_span scratch, const char* target_dir,
                     entry_failure_fn on_entry_failure) {
  archive_walk walk;
  if (target_dir == nullptr || !begin_walk(archive, &walk)) return false;
  uint32_t written = 0;
  for (;;) {
    archive_entry entry;
    const entry_status status = next_entry(&walk, &entry);
    if (status == entry_status::done || status == entry_status::no_tag) break;
    entry_name_text name;
    copy_entry_name(entry, name, sizeof name);
    if (scratch.data != nullptr && scratch.size > sizeof name)
      std::memcpy(scratch.data + scratch_name_offset, name, sizeof name);
    const bool ok =
        status == entry_status::ok && unpack_entry(entry, walk.layout, name, scratch, target_dir);
    if (ok) {
      ++written;
    } else if (on_entry_failure != nullptr) {
      on_entry_failure(name);
    }
    if (status == entry_status::truncated) break;
  }
  return written == walk.count;
}

size_t extract_entry_length(byte_span payload, const char* name, mutable_byte_span work_buffer) {
  if (payload.data == nullptr || name == nullptr || work_buffer.data == nullptr ||
      work_buffer.size < scratch_data_offset + 2)
    return 0;
  unsigned char* data = work_buffer.data + scratch_data_offset;
  data[0] = data[1] = 0;
  archive_walk walk;
  if (!begin_walk(payload, &walk)) return 0;
  archive_entry entry;
  while (next_entry(&walk, &entry) == entry_status::ok) {
    if (entry.csize == 0 || !std::memchr(entry.name_field, 0, entry.name_size) ||
        std::strcmp(reinterpret_cast<const char*>(entry.name_field), name) != 0)
      continue;
    uLongf unpacked = zlib_length(work_buffer.size - scratch_data_offset);
    if (uncompress(data, &unpacked, entry.data.data, zlib_length(entry.data.size)) != Z_OK) {
      // A part of a picture is no picture: the caller sees no signature.
      data[0] = data[1] = 0;
      return 0;
    }
    return unpacked;
  }
  return 0;
}

void extract_entry(byte_span payload, const char* name, mutable_byte_span work_buffer) {
  extract_entry_length(payload, name, work_buffer);
}

void extract_archive_file(const char* path, mutable_byte_span work_buffer, const char* target_dir,
                          entry_failure_fn on_entry_failure) {
  if (path == nullptr || work_buffer.data == nullptr ||
      work_buffer.size < archive_file_region + scratch_reserve)
    return;
  file_io::scoped_file file(file_io::open_read(path));
  if (!file) return;
  const size_t got = file_io::read(file.get(), work_buffer.data, archive_file_region);
  file.reset();
  extract_archive(byte_span{work_buffer.data, got},
                  mutable_byte_span{work_buffer.data + archive_file_region,
                                    work_buffer.size - archive_file_region},
                  target_dir, on_entry_failure);
}

int verify_archive(byte_span archive, const char* target_dir, char* report, size_t report_capacity,
                   const char* exclusions) {
  report_text out{report_capacity > 0 ? report : nullptr, report_capacity, 0};
  if (out.text != nullptr) out.text[0] = 0;
  const size_t reserve = sizeof verify_shortfall_line - 1;
  archive_walk walk;
  if (target_dir == nullptr || !begin_walk(archive, &walk)) {
    out.append(verify_shortfall_line, "", 0);
    return 0;
  }
  if (walk.count == 0) return 0;
  int passed = 0;
  for (;;) {
    archive_entry entry;
    const entry_status status = next_entry(&walk, &entry);
    if (status == entry_status::done || status == entry_status::no_tag) break;
    entry_name_text name;
    copy_entry_name(entry, name, sizeof name);
    if (status == entry_status::ok &&
        verify_entry(entry, walk.layout, name, target_dir, exclusions)) {
      ++passed;
    } else {
      out.append(name, verify_name_suffix, reserve);
    }
    if (status == entry_status::truncated) break;
  }
  if (static_cast<uint32_t>(passed) < walk.count) out.append(verify_shortfall_line, "", 0);
  return passed;
}
