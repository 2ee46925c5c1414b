// One owner for every kind of Win32 handle: it frees what it holds when it goes, once, with the
// call that kind needs. Nothing in the shell frees a handle by hand.
#pragma once
#include <windows.h>

#include <utility>

namespace qor {

template <typename H, typename Traits> class Scoped {
public:
    Scoped() = default;
    explicit Scoped(H handle) : handle_(handle) {}
    ~Scoped() { reset(); }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;
    Scoped(Scoped&& other) noexcept : handle_(other.release()) {}
    Scoped& operator=(Scoped&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    H get() const { return handle_; }
    bool valid() const { return Traits::valid(handle_); }
    explicit operator bool() const { return valid(); }
    // Gives the handle up without freeing it.
    H release() { return std::exchange(handle_, Traits::invalid()); }
    // Frees what is held and takes `handle`.
    void reset(H handle = Traits::invalid()) {
        const H old = std::exchange(handle_, handle);
        if (Traits::valid(old)) {
            Traits::free(old);
        }
    }

private:
    H handle_ = Traits::invalid();
};

// Kernel objects: events, mutexes, threads, files. Both "no handle" values count as none.
struct KernelHandleTraits {
    static HANDLE invalid() { return nullptr; }
    static bool valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void free(HANDLE h) { CloseHandle(h); }
};
using ScopedHandle = Scoped<HANDLE, KernelHandleTraits>;

// A GDI object of any kind: font, bitmap, brush.
template <typename H> struct GdiObjectTraits {
    static H invalid() { return nullptr; }
    static bool valid(H h) { return h != nullptr; }
    static void free(H h) { DeleteObject(h); }
};
using ScopedFont = Scoped<HFONT, GdiObjectTraits<HFONT>>;
using ScopedBitmap = Scoped<HBITMAP, GdiObjectTraits<HBITMAP>>;
using ScopedBrush = Scoped<HBRUSH, GdiObjectTraits<HBRUSH>>;

struct HookTraits {
    static HHOOK invalid() { return nullptr; }
    static bool valid(HHOOK h) { return h != nullptr; }
    static void free(HHOOK h) { UnhookWindowsHookEx(h); }
};
using ScopedHook = Scoped<HHOOK, HookTraits>;

struct MenuTraits {
    static HMENU invalid() { return nullptr; }
    static bool valid(HMENU h) { return h != nullptr; }
    static void free(HMENU h) { DestroyMenu(h); }
};
using ScopedMenu = Scoped<HMENU, MenuTraits>;

struct IconTraits {
    static HICON invalid() { return nullptr; }
    static bool valid(HICON h) { return h != nullptr; }
    static void free(HICON h) { DestroyIcon(h); }
};
// For icons the program made or loaded at a size of its own; shared resource icons are not freed.
using ScopedIcon = Scoped<HICON, IconTraits>;

// A window's device context from GetDC, released to that window.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

} // namespace qor
