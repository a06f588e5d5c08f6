#include "deploy/deploy_files.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "archive/archive_reader.h"
#include "archive/file_ops.h"
#include "deploy/system_copy.h"
#include "deploy/system_dirs.h"
#include "deploy/version_label.h"
#include "integration/shell_entries.h"
#include "setup/installer_state.h"
#include "setup/message_box.h"
#include "setup/unpack_failure.h"
#include "setup/windows_version.h"
#include "ui/progress.h"

namespace {

constexpr char home_page_address[] = "http://www.yingzu.com/";
constexpr char unpack_incomplete_format[] = "文件解压不完整，请到智能映舟网站%s重新下载安装。";
constexpr char unpack_incomplete_caption[] = "智能映舟(映舟五笔)安装";

constexpr wchar_t keep_data_text[] = L"检测到有智能映舟以前的词组等数据文件，是否保留？";
constexpr wchar_t keep_data_in_dir_text[] =
    L"检测到安装目录下有智能映舟以前的词组等数据文件，是否保留？";
constexpr wchar_t keep_data_caption[] = L"智能映舟安装";

constexpr char system_module[] = "yingzu4.ime";
constexpr char system_uninstaller[] = "yingdel.exe";

constexpr char module_32[] = "yingzu4.ime";
constexpr char module_64[] = "yingzu64.ime";
constexpr char module_32_copy[] = "yingzu32.ime";
constexpr char variant_32[] = "ying320.ime";
constexpr char variant_32_traditional[] = "ying321.ime";
constexpr char variant_64[] = "ying640.ime";
constexpr char variant_64_traditional[] = "ying641.ime";
constexpr char uninstaller_32[] = "yingdel.exe";
constexpr char uninstaller_64[] = "yzqdel64.exe";
constexpr char manager_program[] = "vivadidu.exe";
constexpr char manager_program_6[] = "yinglum6.exe";
constexpr char companion[] = "setupw64.exe";
constexpr char wubi_library_unpacked[] = "yingcyzk.bak";
constexpr char wubi_library[] = "yingcyzk.dat";
constexpr char pinyin_library_unpacked[] = "yingpyck.bak";
constexpr char pinyin_library[] = "yingpyck.dat";

constexpr unsigned traditional_code_page = 950;
constexpr DWORD repaint_pause_ms = 50;
constexpr int progress_steps = 64;

enum class system_kind { windows_64, windows_32_from_6, windows_32_before_6 };

// install_dir always ends with a backslash, so a name is simply appended.
struct installed_path {
  char text[MAX_PATH];
  explicit installed_path(const char* name) {
    const int written = std::snprintf(text, sizeof text, "%s%s", state.install_dir, name);
    if (written < 0 || static_cast<size_t>(written) >= sizeof text) text[0] = 0;
  }
  const char* get() const { return text; }
};

void clear_and_remove(const char* name) {
  const installed_path path(name);
  SetFileAttributesA(path.get(), FILE_ATTRIBUTE_ARCHIVE);
  remove_file(path.get());
}

// Inside install_dir; failures are of no consequence to the installation.
void local_copy(const char* source, const char* target) {
  const installed_path from(source), to(target);
  CopyFileA(from.get(), to.get(), FALSE);
}

void replace_manager_program() {
  clear_and_remove(manager_program);
  const installed_path variant(manager_program_6), manager(manager_program);
  MoveFileA(variant.get(), manager.get());
}

void relabel_and_copy(const char* variant, const system_target& target) {
  const installed_path source(variant);
  patch_version_label(source.get());
  system_copy(source.get(), target, system_module);
}

void copy_module(const char* module, const system_target& target) {
  const installed_path source(module);
  system_copy(source.get(), target, system_module);
}

void place_uninstaller(const char* uninstaller, const system_target& target) {
  const installed_path source(uninstaller);
  uninstaller_copy(source.get(), target, system_uninstaller);
}

bool unpack_payload() {
  if (!state.payload || !state.work_buffer) return false;
  return extract_archive(byte_span{state.payload, state.payload_size},
                         mutable_byte_span{state.work_buffer, work_buffer_size}, state.install_dir,
                         show_unpack_failure);
}

void show_unpack_incomplete() {
  char text[sizeof unpack_incomplete_format + sizeof home_page_address];
  std::snprintf(text, sizeof text, unpack_incomplete_format, home_page_address);
  show_message(text, unpack_incomplete_caption, MB_OK);
}

void ask_keep_old_data() {
  // Compared as the path file stored it, byte for byte.
  const wchar_t* text = std::strcmp(state.install_dir, state.previous_dir) == 0
                            ? keep_data_in_dir_text
                            : keep_data_text;
  if (show_message(text, keep_data_caption, MB_YESNO) == IDYES) state.data_state = keep_old_data;
}

void unpack_first_pass() {
  clear_and_remove(manager_program_6);
  clear_and_remove(manager_program);
  if (!unpack_payload())
    show_unpack_incomplete();
  else if (state.data_state == backup_made)
    ask_keep_old_data();
}

system_kind find_system_kind() {
  if (is_64bit_windows()) return system_kind::windows_64;
  return state.os_major > 5 ? system_kind::windows_32_from_6 : system_kind::windows_32_before_6;
}

void first_pass_copies(system_kind kind, const system_target& native, const system_target& wow64) {
  const bool traditional = state.oem_code_page == traditional_code_page;
  const char* variant_for_32 = traditional ? variant_32_traditional : variant_32;
  const char* variant_for_64 = traditional ? variant_64_traditional : variant_64;
  switch (kind) {
    case system_kind::windows_64:
      relabel_and_copy(variant_for_32, wow64);
      relabel_and_copy(variant_for_64, native);
      place_uninstaller(uninstaller_64, native);
      replace_manager_program();
      break;
    case system_kind::windows_32_from_6:
      replace_manager_program();
      relabel_and_copy(variant_for_32, native);
      place_uninstaller(uninstaller_32, native);
      break;
    case system_kind::windows_32_before_6:
      relabel_and_copy(variant_for_32, native);
      place_uninstaller(uninstaller_32, native);
      break;
  }
}

void second_pass_copies(system_kind kind, const system_target& native, const system_target& wow64) {
  switch (kind) {
    case system_kind::windows_64:
      copy_module(module_32_copy, wow64);
      copy_module(module_64, native);
      break;
    case system_kind::windows_32_from_6:
      copy_module(module_32_copy, native);
      break;
    case system_kind::windows_32_before_6:
      copy_module(module_32, native);
      break;
  }
}

}  // namespace

void deploy_files(int pass) {
  CreateDirectoryA(state.install_dir, nullptr);
  if (state.os_major > 5) lower_integrity_level();
  repaint_path_page();
  Sleep(repaint_pause_ms);

  if (pass == first_pass) unpack_first_pass();
  repaint_path_page();

  SetFileAttributesA(installed_path(module_32_copy).get(), FILE_ATTRIBUTE_ARCHIVE);
  local_copy(module_32, module_32_copy);
  local_copy(wubi_library_unpacked, wubi_library);
  local_copy(pinyin_library_unpacked, pinyin_library);
  Sleep(repaint_pause_ms);
  show_progress(0, progress_steps);

  // is_64bit_windows also refreshes os_major and wow64_dir.
  const system_kind kind = find_system_kind();
  if (GetSystemDirectoryA(state.system_dir, sizeof state.system_dir) >= sizeof state.system_dir)
    state.system_dir[0] = 0;
  char native_dir[MAX_PATH];
  native_system_dir(native_dir, sizeof native_dir);
  const system_target native{native_dir, state.system_dir};
  const system_target wow64{state.wow64_dir, state.wow64_dir};

  if (pass == first_pass) {
    first_pass_copies(kind, native, wow64);
    patch_version_label(installed_path(companion).get());
    write_uninstall_entry();
  } else {
    second_pass_copies(kind, native, wow64);
    for (const char* variant :
         {variant_32, variant_32_traditional, variant_64, variant_64_traditional})
      remove_file(installed_path(variant).get());
  }
}
