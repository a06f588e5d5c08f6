#include "setup/silent_mode.h"

#include "setup/handles.h"
#include "setup/install_procedure.h"
#include "setup/installer_state.h"
#include "setup/payload_resource.h"

void run_silent_install(HMODULE executable) {
  lock_payload_resource(executable);
  locked_global_memory work(GMEM_MOVEABLE | GMEM_ZEROINIT, work_buffer_size);
  state.work_buffer = static_cast<unsigned char*>(work.data());
  install_procedure();
  state.work_buffer = nullptr;
  release_payload_resource();
}
