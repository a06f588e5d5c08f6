#include <sys/types.h>

#include <md5.h>

#include "archive/md5_digest.h"

bool md5_digest(const void* data, size_t length, unsigned char digest[16]) {
  MD5_CTX context;
  MD5Init(&context);
  MD5Update(&context, static_cast<const uint8_t*>(data), length);
  MD5Final(digest, &context);
  return true;
}
