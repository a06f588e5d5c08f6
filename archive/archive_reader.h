// Reading YZZ archives: unpacking all entries into a directory, unpacking one entry into
// memory, and comparing installed files with an archive. Archives are read only inside
// their span; paths are GBK.
#pragma once

#include <cstddef>

#include "archive/byte_span.h"

// Called once for each entry that failed, with its name (possibly cut or empty when the
// archive is damaged). May be null.
using entry_failure_fn = void (*)(const char* entry_name);

// Unpacks every entry into target_dir, checking the MD5 digest of each entry of the current
// layout; a locked file is moved aside, an entry named "yingcyzk.bak" is compacted.
// target_dir ends with a separator or a separator is put in between; on POSIX it is a
// directory with or without a final "/" (an empty text is the current directory).
// scratch holds the name at 0, the data at 100 and the digest text at 110 + n, so an entry
// may unpack to at most scratch.size - 144 bytes.
// Each failed entry is passed to on_entry_failure and the walk goes on; an entry that
// reaches past the end of the archive fails, and no entry after it is read. An entry
// whose name is not a plain file name (see is_plain_file_name) fails and writes nothing.
// Returns true when every one of the archive's `count` entries was written.
bool extract_archive(byte_span archive, mutable_byte_span scratch, const char* target_dir,
                     entry_failure_fn on_entry_failure);

// Unpacks the entry of that exact name into work_buffer from offset 100 (at most
// work_buffer.size - 100 bytes). The two bytes at 100 are zero afterwards when there is no
// such entry or it does not unpack whole, so a caller testing a signature sees it.
void extract_entry(byte_span payload, const char* name, mutable_byte_span work_buffer);
// As extract_entry, returning the unpacked length (0 when nothing was unpacked).
size_t extract_entry_length(byte_span payload, const char* name, mutable_byte_span work_buffer);

// Reads the archive file at path into work_buffer (at most the first 131,072 bytes) and
// unpacks it as extract_archive does, with the rest of work_buffer as scratch. A missing
// file does nothing. Of a longer file only what was read is an archive: the entry cut off
// by the limit fails (on_entry_failure) and nothing after it is unpacked.
void extract_archive_file(const char* path, mutable_byte_span work_buffer, const char* target_dir,
                          entry_failure_fn on_entry_failure);

// Compares the files in target_dir with the archive's entries and returns how many passed:
// current layout, the file's digest equals the entry's, or the name occurs in exclusions
// (contains_text; null means none); legacy layout, the file holds at least csize bytes.
// Each failed entry appends its name and "...." to report, and a shortfall against the
// archive's count appends "有文件没有成功解压，请重新下载安装！\r\n". The report never
// exceeds report_capacity bytes with its terminator; names that do not fit are left out,
// keeping room for the closing line.
int verify_archive(byte_span archive, const char* target_dir, char* report, size_t report_capacity,
                   const char* exclusions);
