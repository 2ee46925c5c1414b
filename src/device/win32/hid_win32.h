// Windows adapters of the device link: SetupDi enumeration, HidD/HidP queries, the command
// collection's feature and chunk reports, the event collection's overlapped reads, the
// listener thread and device-interface notifications. They translate; the core decides.
#pragma once
#include "device/discovery.h"
#include "device/event_listener.h"
#include "device/event_report.h"
#include "device/hid_ports.h"

#include "base/win32/scoped.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace qor {

// The feature collection through `commandHandle`, opened for reading and writing. The handle is
// overlapped so that every transfer can give up after its time-out: chunks through ReadFile and
// WriteFile, feature reports through the HID class driver's feature IOCTLs (HidD_SetFeature
// and HidD_GetFeature wait without end).
class Win32CommandPort final : public HidCommandPort {
public:
    Win32CommandPort() = default;
    Win32CommandPort(const Win32CommandPort&) = delete;
    Win32CommandPort& operator=(const Win32CommandPort&) = delete;

    TransferResult setFeature(std::span<const std::uint8_t> report, PacketCoding coding,
                              std::chrono::milliseconds timeout) override;
    TransferResult getFeature(std::span<std::uint8_t> report, PacketCoding coding,
                              std::chrono::milliseconds timeout) override;
    TransferResult writeReport(std::span<const std::uint8_t> report,
                               std::chrono::milliseconds timeout) override;
    ReadResult readReport(std::span<std::uint8_t> report,
                          std::chrono::milliseconds timeout) override;
    void flushInput() override;

    // Replaces the handles (closing earlier ones). False when the path cannot be opened.
    bool open(const std::wstring& path);
    void close();
    bool isOpen() const { return handle_.valid(); }

private:
    enum class Kind { read, write, setFeature, getFeature };
    TransferResult transfer(Kind kind, void* data, DWORD length, std::chrono::milliseconds timeout,
                            DWORD& done);

    ScopedHandle handle_; // commandHandle
    ScopedHandle ioDone_;
};

// Starts one overlapped read of `buffer` from `handle`, as ReadFile does (FALSE with
// ERROR_IO_PENDING when it is under way). Tests stand in for it to look at the moment a read
// starts.
using ReadStarter =
    std::function<BOOL(HANDLE handle, std::span<std::uint8_t> buffer, OVERLAPPED* overlapped)>;
BOOL startReadFile(HANDLE handle, std::span<std::uint8_t> buffer, OVERLAPPED* overlapped);

// The event collection: `eventReadHandle`, `eventWriteHandle` and the manual-reset `readEvent`
// with the listener's one overlapped record.
class Win32EventPort final : public HidEventPort {
public:
    explicit Win32EventPort(ReadStarter startRead = startReadFile);
    ~Win32EventPort() override;
    Win32EventPort(const Win32EventPort&) = delete;
    Win32EventPort& operator=(const Win32EventPort&) = delete;

    // Creates `readEvent` (manual reset, not signalled). False when the system refuses.
    bool createReadEvent();
    HANDLE readEvent() const { return readEvent_.get(); }

    void resetSignal() override;
    void waitSignal() override;
    void signal() override;
    bool isOpen() const override;
    bool beginRead(std::span<std::uint8_t> buffer) override;
    std::size_t finishRead() override;
    void cancelRead() override;

    // Window's thread. Each open replaces the handle of its kind; a read handle replaced while
    // the listener may still read from it is closed by the listener at its next read.
    bool openRead(const std::wstring& path);
    bool openWrite(const std::wstring& path);
    // The mouse has gone: closes both handles now, keeping `readEvent` for the listener. A read
    // being started meanwhile has started before the handle goes, and the close aborts it.
    void closeHandles();
    // Window destruction: closes both handles and `readEvent`.
    void close();

private:
    // Waits until the read begun last is over (cancelling it first when asked) and returns the
    // bytes it delivered. Afterwards nothing writes the buffer or the record any more.
    std::size_t awaitRead(bool cancel);
    // Whether `handle` is still one of the read handles (current or replaced). With mutex_ held.
    bool holdsReadHandle(HANDLE handle) const;

    ReadStarter startRead_;
    ScopedHandle readEvent_; // declared first: it outlives the handles whose reads signal it
    // Taking, closing and replacing the read handles, and starting a read from one of them,
    // happen under this lock, so that no read starts on a handle that is closed.
    mutable std::mutex mutex_;
    ScopedHandle readHandle_;
    std::vector<ScopedHandle> retired_; // replaced read handles a read may still use
    ScopedHandle writeHandle_;
    OVERLAPPED overlapped_{};
    HANDLE readingHandle_ = INVALID_HANDLE_VALUE; // the handle of the read begun last
    bool pending_ = false;                        // listener thread only
};

// SetupDi's set of device interfaces (HDEVINFO, a HANDLE-sized pointer).
struct DeviceInfoSetTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void free(HANDLE h);
};
using ScopedDeviceInfoSet = Scoped<HANDLE, DeviceInfoSetTraits>;

// SetupDi over the HID interface class, HidD_GetAttributes, HidD_GetPreparsedData and
// HidP_GetCaps; opens the collections into the two ports.
class Win32HidSystem final : public DeviceEnumerator {
public:
    Win32HidSystem() = default;
    Win32HidSystem(const Win32HidSystem&) = delete;
    Win32HidSystem& operator=(const Win32HidSystem&) = delete;

    Win32CommandPort& commandPort() { return command_; }
    Win32EventPort& eventPort() { return events_; }

    bool beginScan() override;
    InterfaceStatus describe(std::uint32_t index, std::u16string& path,
                             HidAttributes& attributes) override;
    CapsStatus capabilities(HidCaps& caps) override;
    void endScan() override;
    bool openEventRead(const std::u16string& path) override;
    bool openEventWrite(const std::u16string& path) override;
    bool openCommand(const std::u16string& path) override;
    void closeDevice() override;

    // Window destruction: closes every handle.
    void close();

private:
    ScopedDeviceInfoSet infoSet_;
    ScopedHandle query_;
    Win32CommandPort command_;
    Win32EventPort events_;
};

// Hands device events to the window with a synchronous WM_USER+2 (wParam code, lParam value).
class Win32WindowEventSink final : public DeviceEventSink {
public:
    explicit Win32WindowEventSink(HWND window = nullptr) : window_(window) {}
    void setWindow(HWND window) { window_.store(window); }
    void deliver(DeviceEventCode code, std::uint32_t value) override;

private:
    std::atomic<HWND> window_;
};

// Registers `window` for arrival and removal of HID device interfaces. Null on failure.
HDEVNOTIFY registerHidNotifications(HWND window);

// Translates one WM_DEVICECHANGE for the core's handler; returns its result (TRUE).
BOOL handleDeviceChange(DeviceChangeHandler& handler, WPARAM event, LPARAM broadcast);

} // namespace qor
