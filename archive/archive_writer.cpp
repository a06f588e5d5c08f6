#include "archive/archive_writer.h"

#include <zlib.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "archive/archive_format.h"
#include "archive/entry_name.h"
#include "archive/file_io.h"
#include "archive/md5_hex.h"

namespace {

// Compression gets at least this much room, so a small file may grow by compressing.
constexpr size_t min_compress_capacity = 8192;

// Opens the archive, creating it empty when nothing stands at path, and reads its header.
// An existing file that cannot be opened for reading and writing is never recreated:
// that would throw away its entries.
bool open_archive(const char* path, archive_layout layout, file_io::scoped_file* archive,
                  unsigned char header[sizeof(archive_header)]) {
  archive->reset(file_io::open_read_write(path));
  if (*archive) {
    if (file_io::read(archive->get(), header, sizeof(archive_header)) != sizeof(archive_header))
      return false;
    const bool current = header[1] == current_layout_mark;
    return current == (layout == archive_layout::current);
  }
  if (file_io::kind_of(path) != file_io::path_kind::missing) return false;
  archive->reset(file_io::create(path));
  if (!*archive) return false;
  std::memset(header, 0, sizeof(archive_header));
  header[0] = archive_magic_lead;
  header[1] = layout == archive_layout::current ? current_layout_mark : legacy_layout_mark;
  store_u32le(header + offsetof(archive_header, total), sizeof(archive_header));
  return file_io::write(archive->get(), header, sizeof(archive_header)) == sizeof(archive_header);
}

// Steps over the existing entries by their headers; leaves *end at the end of the last
// one. False when an entry of that name exists or the archive is damaged.
bool find_end(file_io::handle archive, archive_layout layout, uint32_t count, const char* name,
              uint64_t* end) {
  const layout_shape shape = shape_of(layout);
  uint64_t file_length = 0;
  if (!file_io::length(archive, &file_length)) return false;
  uint64_t at = sizeof(archive_header);
  unsigned char header[sizeof(entry_header)];
  for (uint32_t i = 0; i < count; ++i) {
    if (!file_io::seek(archive, at) ||
        file_io::read(archive, header, shape.header_size) != shape.header_size ||
        std::memcmp(header, entry_tag, sizeof entry_tag) != 0)
      return false;
    const char* existing = reinterpret_cast<const char*>(header + sizeof entry_tag);
    if (std::strncmp(existing, name, shape.name_size) == 0) return false;
    at += shape.header_size + load_u32le(header + shape.csize_offset);
    // Seeking past the end and writing there would leave a hole inside the archive.
    if (at > file_length) return false;
  }
  *end = at;
  return true;
}

bool append_entry(const char* archive_path, const char* source_path, archive_layout layout) {
  if (archive_path == nullptr || source_path == nullptr || source_path[0] == 0) return false;
  const layout_shape shape = shape_of(layout);
  unsigned char entry[sizeof(entry_header)] = {};
  std::memcpy(entry, entry_tag, sizeof entry_tag);
  const char* name = file_name_part(source_path);
  const size_t name_length = std::strlen(name);
  if (name_length > max_written_name || !is_plain_file_name(name)) return false;
  std::memcpy(entry + sizeof entry_tag, name, name_length);

  file_io::scoped_file archive(file_io::invalid_handle);
  unsigned char header[sizeof(archive_header)];
  if (!open_archive(archive_path, layout, &archive, header)) return false;
  const uint32_t count = load_u32le(header + offsetof(archive_header, count));
  uint64_t end = 0;
  if (!find_end(archive.get(), layout, count, name, &end)) return false;

  file_io::scoped_file source(file_io::open_read(source_path));
  uint64_t source_length = 0;
  if (!source || !file_io::length(source.get(), &source_length)) return false;
  if (source_length > (SIZE_MAX - min_compress_capacity) / 2 || source_length > ULONG_MAX)
    return false;
  const size_t length = static_cast<size_t>(source_length);
  // The source at the start, the compressed stream from offset `length` on.
  std::unique_ptr<unsigned char, decltype(&std::free)> work(
      static_cast<unsigned char*>(std::calloc(2 * length + min_compress_capacity, 1)), &std::free);
  if (!work) return false;
  const size_t n = file_io::read(source.get(), work.get(), length);
  source.reset();

  if (shape.has_digest)
    md5_hex(work.get(), n, reinterpret_cast<char*>(entry + offsetof(entry_header, digest)));
  uLongf packed = n > min_compress_capacity ? n : min_compress_capacity;
  if (compress(work.get() + length, &packed, work.get(), n) != Z_OK || packed == 0) return false;

  const uint32_t total = load_u32le(header + offsetof(archive_header, total));
  if (count == UINT32_MAX || packed > UINT32_MAX - shape.header_size ||
      total > UINT32_MAX - shape.header_size - packed)
    return false;
  store_u32le(entry + shape.csize_offset, static_cast<uint32_t>(packed));
  if (!file_io::seek(archive.get(), end) ||
      file_io::write(archive.get(), entry, shape.header_size) != shape.header_size ||
      file_io::write(archive.get(), work.get() + length, packed) != packed)
    return false;
  // The header is updated last: until then readers see the archive as it was.
  store_u32le(header + offsetof(archive_header, count), count + 1);
  store_u32le(header + offsetof(archive_header, total),
              total + static_cast<uint32_t>(shape.header_size + packed));
  return file_io::seek(archive.get(), 0) &&
         file_io::write(archive.get(), header, sizeof header) == sizeof header;
}

}  // namespace

bool append_to_archive(const char* archive_path, const char* source_path) {
  return append_entry(archive_path, source_path, archive_layout::current);
}

bool append_to_legacy_archive(const char* archive_path, const char* source_path) {
  return append_entry(archive_path, source_path, archive_layout::legacy);
}
