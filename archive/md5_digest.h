// The platform's MD5 service behind md5_hex: advapi32 on Windows, libmd elsewhere.
#pragma once

#include <cstddef>

// False when the service is not available.
bool md5_digest(const void* data, size_t length, unsigned char digest[16]);
