// MD5 digests (RFC 1321) as the archive stores them: 32 upper-case hexadecimal digits,
// high nibble first, followed by two zero bytes.
#pragma once

#include <cstddef>

// Fills out with the digest text of the data; out is the empty text (34 zero bytes) when
// no MD5 service is available.
void md5_hex(const void* data, size_t length, char out[34]);

// The digest text of a whole file. Returns the number of bytes read, 0 when the file
// cannot be opened or read (out is then the empty text).
size_t file_md5_hex(const char* path, char out[34]);
