// Stands in for icacls.exe in a test prefix: records which program ran, with what
// command line, as one file in the folder that YZ_COMMAND_RECORD names.
#include <windows.h>

#include <string>

int main() {
  wchar_t folder[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"YZ_COMMAND_RECORD", folder, MAX_PATH)) return 1;
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  const std::wstring record = std::wstring(module) + L"\n" + GetCommandLineW();
  const std::wstring name = std::wstring(folder) + L"\\" + std::to_wstring(GetCurrentProcessId());
  // Written whole under a temporary name, then renamed, so a reader never sees half.
  HANDLE file = CreateFileW((name + L".tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, record.data(), static_cast<DWORD>(record.size() * sizeof(wchar_t)), &written, nullptr);
  CloseHandle(file);
  return MoveFileW((name + L".tmp").c_str(), (name + L".txt").c_str()) ? 0 : 1;
}
