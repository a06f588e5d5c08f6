#include "tests/archive/test_support.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "archive/md5_hex.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "archive/gbk_text.h"
#endif

namespace {

void put_u32(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string fitted(const std::string& bytes, size_t width) {
  std::string out = bytes.substr(0, width);
  out.resize(width, '\0');
  return out;
}

std::string entry_of(const entry_fixture& fixture, bool with_digest, size_t name_width) {
  const std::string data = fixture.stream ? *fixture.stream : zlib_stream(fixture.content);
  std::string out = fitted(fixture.tag, 2) + fitted(fixture.name, name_width);
  if (with_digest) out += fitted(fixture.digest ? *fixture.digest : md5_text(fixture.content), 34);
  put_u32(out, fixture.csize ? *fixture.csize : static_cast<uint32_t>(data.size()));
  return out + data;
}

std::vector<std::string> recorded;

}  // namespace

std::string zlib_stream(const std::string& data) {
  uLongf size = compressBound(data.size());
  std::string out(size, '\0');
  compress(reinterpret_cast<Bytef*>(&out[0]), &size, reinterpret_cast<const Bytef*>(data.data()),
           data.size());
  out.resize(size);
  return out;
}

std::string md5_text(const std::string& data) {
  char text[34];
  md5_hex(data.data(), data.size(), text);
  return std::string(text);
}

std::string current_entry(const entry_fixture& fixture) { return entry_of(fixture, true, 16); }
std::string legacy_entry(const entry_fixture& fixture) { return entry_of(fixture, false, 14); }

std::string archive_bytes(char layout_mark, uint32_t count, const std::string& entries) {
  std::string out = std::string("Y") + layout_mark;
  put_u32(out, static_cast<uint32_t>(10 + entries.size()));
  put_u32(out, count);
  return out + entries;
}

std::string current_archive(const std::vector<entry_fixture>& entries) {
  std::string bytes;
  for (const entry_fixture& e : entries) bytes += current_entry(e);
  return archive_bytes('0', static_cast<uint32_t>(entries.size()), bytes);
}

std::string legacy_archive(const std::vector<entry_fixture>& entries) {
  std::string bytes;
  for (const entry_fixture& e : entries) bytes += legacy_entry(e);
  return archive_bytes('Z', static_cast<uint32_t>(entries.size()), bytes);
}

uint32_t u32_at(const std::string& bytes, size_t offset) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i)
    value = value << 8 | static_cast<unsigned char>(bytes.at(offset + static_cast<size_t>(i)));
  return value;
}

void record_failure(const char* entry_name) { recorded.emplace_back(entry_name); }
std::vector<std::string>& recorded_failures() { return recorded; }

#ifdef _WIN32

const char test_separator = '\\';

namespace {

void remove_tree(const std::string& dir) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((dir + "*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = dir + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        remove_tree(path + "\\");
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(find, &found));
    FindClose(find);
  }
  RemoveDirectoryA(dir.c_str());
}

void walk_tree(const std::string& dir, const std::string& prefix, std::vector<std::string>* out) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((dir + "*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    out->push_back(prefix + name);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      walk_tree(dir + name + "\\", prefix + name + "/", out);
  } while (FindNextFileA(find, &found));
  FindClose(find);
}

}  // namespace

temp_dir::temp_dir() {
  static unsigned serial = 0;
  char base[MAX_PATH];
  GetTempPathA(sizeof base, base);
  for (;;) {
    path_ = std::string(base) + "yzarch" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(++serial) + "\\";
    if (CreateDirectoryA(path_.c_str(), nullptr)) break;
  }
}

temp_dir::~temp_dir() { remove_tree(path_); }

bool make_dir(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

void write_file(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD put = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
  CloseHandle(file);
}

std::optional<std::string> read_file(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char chunk[65536];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

bool file_exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> list_tree(const std::string& root) {
  std::vector<std::string> out;
  walk_tree(root, "", &out);
  std::sort(out.begin(), out.end());
  return out;
}

#else

const char test_separator = '/';

namespace {

std::string native(const std::string& gbk) {
  std::string out(gbk.size() * 2 + 1, '\0');
  if (!gbk_to_utf8(gbk.c_str(), &out[0], out.size())) return gbk;  // not GBK: use as it is
  out.resize(std::strlen(out.c_str()));
  return out;
}

std::string from_native(const std::string& utf8) {
  std::string out(utf8.size() + 1, '\0');
  if (!utf8_to_gbk(utf8.c_str(), &out[0], out.size())) return utf8;
  out.resize(std::strlen(out.c_str()));
  return out;
}

void walk_tree(const std::string& dir, const std::string& prefix, std::vector<std::string>* out,
               bool remove) {
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) return;
  while (dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    const std::string path = dir + "/" + name;
    struct stat st;
    const bool is_dir = lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    if (out) out->push_back(from_native(prefix + name));
    if (is_dir) walk_tree(path, prefix + name + "/", out, remove);
    if (remove) is_dir ? rmdir(path.c_str()) : unlink(path.c_str());
  }
  closedir(d);
}

}  // namespace

temp_dir::temp_dir() {
  char pattern[] = "/tmp/yzarch-XXXXXX";
  path_ = std::string(mkdtemp(pattern)) + "/";
}

temp_dir::~temp_dir() {
  walk_tree(path_, "", nullptr, true);
  rmdir(path_.c_str());
}

bool make_dir(const std::string& path) { return mkdir(native(path).c_str(), 0755) == 0; }

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(native(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::optional<std::string> read_file(const std::string& path) {
  std::ifstream in(native(path), std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool file_exists(const std::string& path) {
  struct stat st;
  return lstat(native(path).c_str(), &st) == 0;
}

std::vector<std::string> list_tree(const std::string& root) {
  std::vector<std::string> out;
  walk_tree(native(root), "", &out, false);
  std::sort(out.begin(), out.end());
  return out;
}

#endif
