#include "setup/payload_resource.h"

#include "setup/installer_state.h"
#include "setup/setup_names.h"

bool lock_payload_resource(HMODULE module) {
  release_payload_resource();
  HRSRC found = FindResourceA(module, payload_name, payload_type);
  if (!found) return false;
  HGLOBAL loaded = LoadResource(module, found);
  const DWORD size = SizeofResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data || size == 0) return false;
  state.payload = static_cast<const unsigned char*>(data);
  state.payload_size = size;
  return true;
}

void release_payload_resource() {
  state.payload = nullptr;
  state.payload_size = 0;
}
