#include <windows.h>

#include <cstring>

#include "archive/md5_digest.h"
#include "setup/handles.h"

namespace {

// advapi32's MD5_CTX: 88 bytes of working state, then the digest that MD5Final leaves.
struct md5_context {
  ULONG count[2];
  ULONG state[4];
  unsigned char input[64];
  unsigned char digest[16];
};
static_assert(sizeof(md5_context) == 104, "advapi32 MD5 context is 88 + 16 bytes");

using md5_init_fn = void(WINAPI*)(md5_context*);
using md5_update_fn = void(WINAPI*)(md5_context*, const unsigned char*, unsigned int);
using md5_final_fn = void(WINAPI*)(md5_context*);

// GetProcAddress hands out one generic type; going through void(*)() is the cast that
// function-type warnings accept.
template <class Fn>
Fn bind(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

// Bound by name at every call: the functions are not in advapi32's import library on
// every system the setup runs on.
bool md5_digest(const void* data, size_t length, unsigned char digest[16]) {
  unique_module advapi(LoadLibraryA("advapi32.dll"));
  if (!advapi) return false;
  const auto init = bind<md5_init_fn>(advapi.get(), "MD5Init");
  const auto update = bind<md5_update_fn>(advapi.get(), "MD5Update");
  const auto finish = bind<md5_final_fn>(advapi.get(), "MD5Final");
  if (!init || !update || !finish) return false;

  md5_context context;
  init(&context);
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  // MD5Update counts in 32 bits.
  while (length > 0) {
    const unsigned int chunk =
        length > 0x40000000u ? 0x40000000u : static_cast<unsigned int>(length);
    update(&context, bytes, chunk);
    bytes += chunk;
    length -= chunk;
  }
  finish(&context);
  std::memcpy(digest, context.digest, sizeof context.digest);
  return true;
}
