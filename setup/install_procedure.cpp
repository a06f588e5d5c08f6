#include "setup/install_procedure.h"

#include <windows.h>

#include <cstdio>

#include "archive/archive_reader.h"
#include "setup/install_dir.h"
#include "setup/installer_state.h"
#include "setup/path_file.h"
#include "setup/setup_names.h"
#include "setup/unpack_failure.h"

void install_procedure() {
  default_install_dir();
  write_path_files();
  // One level only; an existing directory is what we want, and a failure shows up as the
  // files that cannot be unpacked.
  CreateDirectoryA(state.install_dir, nullptr);
  char filer[text_capacity + sizeof filer_folder_format];
  std::snprintf(filer, sizeof filer, filer_folder_format, state.install_dir);
  CreateDirectoryA(filer, nullptr);

  const byte_span payload{state.payload, state.payload ? state.payload_size : 0};
  const mutable_byte_span scratch{state.work_buffer, state.work_buffer ? work_buffer_size : 0};
  extract_archive(payload, scratch, state.install_dir, show_unpack_failure);
}
