// Adding files to a YZZ archive file, one compressed entry per call. Paths are GBK.
#pragma once

// Appends the file at source_path as a current-layout entry (56-byte header with the MD5
// digest text) named after the path's name part, creating the archive ("Y0", total 10,
// count 0) when nothing stands at archive_path. Returns true only when the entry and the
// updated archive header were written whole. False, with the archive untouched, for an
// empty source path or a name part that is empty, longer than 12 bytes or not a plain file
// name; false, with the archive unchanged (a missing archive has been created empty), when
// an entry of that name exists, the source cannot be read, memory is short, compression
// fails or would exceed max(n, 8192) bytes for n source bytes, the archive is not of the
// current layout or is damaged, or any write comes up short.
bool append_to_archive(const char* archive_path, const char* source_path);

// As append_to_archive, in the legacy layout ("YZ", 20-byte headers, no digest), which the
// skin archives use; an existing archive must be of the legacy layout.
bool append_to_legacy_archive(const char* archive_path, const char* source_path);
