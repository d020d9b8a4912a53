#pragma once

#include <windows.h>

#include <utility>

// One move-only owner for every kind of handle: the traits say what "no handle" is and how to
// close it. Closing keeps the last error intact, so a failure's code survives the cleanup.
template <typename Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() = default;
  explicit UniqueHandle(Type handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, Traits::Invalid()));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  Type get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::Invalid(); }
  void reset(Type handle = Traits::Invalid()) {
    if (handle_ != Traits::Invalid()) {
      const DWORD lastError = GetLastError();
      Traits::Close(handle_);
      SetLastError(lastError);
    }
    handle_ = handle;
  }

 private:
  Type handle_ = Traits::Invalid();
};

struct FileHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) { CloseHandle(h); }
};
struct KernelHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { CloseHandle(h); }
};
struct FindHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) { FindClose(h); }
};
struct LocalMemoryTraits {
  using Type = HLOCAL;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { LocalFree(h); }
};
struct GdiObjectTraits {
  using Type = HGDIOBJ;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { DeleteObject(h); }
};
struct ModuleTraits {
  using Type = HMODULE;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { FreeLibrary(h); }
};
struct WindowTraits {
  using Type = HWND;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { DestroyWindow(h); }
};
struct ScreenDcTraits {
  using Type = HDC;
  static Type Invalid() { return nullptr; }
  static void Close(Type dc) { ReleaseDC(nullptr, dc); }
};
struct MemoryDcTraits {
  using Type = HDC;
  static Type Invalid() { return nullptr; }
  static void Close(Type dc) { DeleteDC(dc); }
};

using UniqueFile = UniqueHandle<FileHandleTraits>;  // CreateFileW: INVALID_HANDLE_VALUE is "none"
// CreateThread, CreateEventW, OpenProcess and their kind: null is "none"
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFind = UniqueHandle<FindHandleTraits>;
using UniqueLocal = UniqueHandle<LocalMemoryTraits>;
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;      // LoadLibraryW
using UniqueWindow = UniqueHandle<WindowTraits>;      // a top-level window, with its children
using UniqueScreenDc = UniqueHandle<ScreenDcTraits>;  // GetDC(nullptr)
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;  // CreateCompatibleDC
