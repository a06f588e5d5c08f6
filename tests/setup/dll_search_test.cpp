// DLLs planted in the executable's folder or the current directory are not loaded once
// the setup has restricted the search. One test: the restriction is process-wide.
#include "setup/dll_search.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/setup/setup_test_support.h"

namespace {

const char marker[] = "C:\\yzplant_loaded.txt";

std::string module_path(HMODULE module) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(module, path, MAX_PATH);
  return path;
}

}  // namespace

TEST(DllSearch, PlantedDllsAreLoadedBeforeAndNotAfter) {
  // The build puts yzplant.dll and its copy yzplant_b.dll beside this program; the
  // current directory gets two more copies.
  std::string bin(MAX_PATH, 0);
  bin.resize(GetModuleFileNameA(nullptr, &bin[0], MAX_PATH));
  bin = bin.substr(0, bin.find_last_of('\\') + 1);
  const std::string plant = read_file(bin + "yzplant.dll");
  ASSERT_FALSE(plant.empty());
  ASSERT_TRUE(CreateDirectoryA("C:\\yzcwd", nullptr));
  ASSERT_TRUE(write_file("C:\\yzcwd\\yzcwd_a.dll", plant));
  ASSERT_TRUE(write_file("C:\\yzcwd\\yzcwd_b.dll", plant));
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\yzcwd"));

  // Unrestricted, both places are searched: the planting works.
  HMODULE beside = LoadLibraryA("yzplant.dll");
  ASSERT_NE(nullptr, beside);
  EXPECT_TRUE(file_exists(marker));
  FreeLibrary(beside);
  DeleteFileA(marker);
  HMODULE current = LoadLibraryA("yzcwd_a.dll");
  ASSERT_NE(nullptr, current);
  EXPECT_TRUE(file_exists(marker));
  FreeLibrary(current);
  DeleteFileA(marker);

  EXPECT_EQ(dll_search::system_directory, restrict_dll_search());

  EXPECT_EQ(nullptr, LoadLibraryA("yzplant_b.dll"));
  EXPECT_EQ(nullptr, LoadLibraryA("yzcwd_b.dll"));
  EXPECT_FALSE(file_exists(marker));

  char system_dir[MAX_PATH] = {};
  GetSystemDirectoryA(system_dir, MAX_PATH);
  HMODULE advapi = LoadLibraryA("advapi32.dll");
  ASSERT_NE(nullptr, advapi);
  EXPECT_EQ(0, lstrcmpiA((std::string(system_dir) + "\\advapi32.dll").c_str(),
                         module_path(advapi).c_str()));
  FreeLibrary(advapi);
  HMODULE shell = LoadLibraryA("shell32.dll");
  EXPECT_NE(nullptr, shell) << "system DLLs still load by name";
  if (shell) FreeLibrary(shell);
}
