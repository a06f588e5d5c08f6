// One owner per Win32 handle kind, each with its own invalid value, so that no failed
// open is ever closed and no handle outlives the scope that opened it.
#pragma once

#include <windows.h>

#include <utility>

// A generic owner: Traits give the handle type, its invalid value and how to release it.
template <class Traits>
class unique_handle {
 public:
  using handle_type = typename Traits::handle_type;

  unique_handle() = default;
  explicit unique_handle(handle_type h) : h_(h) {}
  ~unique_handle() { reset(); }
  unique_handle(const unique_handle&) = delete;
  unique_handle& operator=(const unique_handle&) = delete;
  unique_handle(unique_handle&& other) noexcept : h_(other.release()) {}
  unique_handle& operator=(unique_handle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  handle_type get() const { return h_; }
  explicit operator bool() const { return h_ != Traits::invalid(); }
  // For out-parameters of the opening call; releases what was held.
  handle_type* put() {
    reset();
    return &h_;
  }
  handle_type release() { return std::exchange(h_, Traits::invalid()); }
  void reset(handle_type h = Traits::invalid()) {
    if (h_ != Traits::invalid()) Traits::close(h_);
    h_ = h;
  }

 private:
  handle_type h_ = Traits::invalid();
};

// CreateFile reports failure as INVALID_HANDLE_VALUE, not 0.
struct file_handle_traits {
  using handle_type = HANDLE;
  static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
  static void close(HANDLE h) { CloseHandle(h); }
};
using unique_file = unique_handle<file_handle_traits>;

// Kernel objects whose open reports failure as 0: mappings, processes, threads.
struct kernel_handle_traits {
  using handle_type = HANDLE;
  static HANDLE invalid() { return nullptr; }
  static void close(HANDLE h) { CloseHandle(h); }
};
using unique_kernel_handle = unique_handle<kernel_handle_traits>;

struct registry_key_traits {
  using handle_type = HKEY;
  static HKEY invalid() { return nullptr; }
  static void close(HKEY h) { RegCloseKey(h); }
};
using unique_key = unique_handle<registry_key_traits>;

struct gdi_object_traits {
  using handle_type = HGDIOBJ;
  static HGDIOBJ invalid() { return nullptr; }
  static void close(HGDIOBJ h) { DeleteObject(h); }
};
using unique_gdi_object = unique_handle<gdi_object_traits>;

struct memory_dc_traits {
  using handle_type = HDC;
  static HDC invalid() { return nullptr; }
  static void close(HDC h) { DeleteDC(h); }
};
using unique_memory_dc = unique_handle<memory_dc_traits>;

struct module_traits {
  using handle_type = HMODULE;
  static HMODULE invalid() { return nullptr; }
  static void close(HMODULE h) { FreeLibrary(h); }
};
using unique_module = unique_handle<module_traits>;

// Movable global memory, locked for as long as the owner lives.
class locked_global_memory {
 public:
  locked_global_memory() = default;
  locked_global_memory(UINT flags, SIZE_T size) {
    memory_ = GlobalAlloc(flags, size);
    if (memory_) data_ = GlobalLock(memory_);
  }
  ~locked_global_memory() { reset(); }
  locked_global_memory(const locked_global_memory&) = delete;
  locked_global_memory& operator=(const locked_global_memory&) = delete;
  locked_global_memory(locked_global_memory&& other) noexcept
      : memory_(std::exchange(other.memory_, nullptr)), data_(std::exchange(other.data_, nullptr)) {}
  locked_global_memory& operator=(locked_global_memory&& other) noexcept {
    if (this != &other) {
      reset();
      memory_ = std::exchange(other.memory_, nullptr);
      data_ = std::exchange(other.data_, nullptr);
    }
    return *this;
  }

  void* data() const { return data_; }
  explicit operator bool() const { return data_ != nullptr; }
  void reset() {
    if (data_) GlobalUnlock(memory_);
    if (memory_) GlobalFree(memory_);
    memory_ = nullptr;
    data_ = nullptr;
  }

 private:
  HGLOBAL memory_ = nullptr;
  void* data_ = nullptr;
};

// A window's device context, released to its window.
class window_dc {
 public:
  explicit window_dc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~window_dc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  window_dc(const window_dc&) = delete;
  window_dc& operator=(const window_dc&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a context and puts the previous one back on scope exit.
class selected_object {
 public:
  selected_object(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~selected_object() {
    if (previous_) SelectObject(dc_, previous_);
  }
  selected_object(const selected_object&) = delete;
  selected_object& operator=(const selected_object&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};
