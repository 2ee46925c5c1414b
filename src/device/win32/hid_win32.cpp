#include "device/win32/hid_win32.h"

#include "base/win32/wide_text.h"

#include "base/window_ids.h"

// clang-format off
#include <windows.h>
#include <setupapi.h>
#include <dbt.h>
// mingw-w64's HID headers declare the functions without C linkage.
extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}
// The feature IOCTLs; winioctl.h defines the codes they are built from.
#include <winioctl.h>
#include <hidclass.h>
// clang-format on

#include <algorithm>
#include <array>
#include <vector>

namespace qor {

namespace {

// {4D1E55B2-F16F-11CF-88CB-001111000030}: the HID device interface class.
constexpr GUID kHidInterfaceClass{
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

constexpr DWORD kShareReadWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;

HDEVINFO asInfoSet(HANDLE h) {
    return static_cast<HDEVINFO>(h);
}

// A manual-reset event, not signalled.
ScopedHandle manualResetEvent() {
    return ScopedHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
}

// One of the mouse's collections, opened for overlapped transfers.
ScopedHandle openCollection(const std::wstring& path, DWORD access, DWORD attributes) {
    return ScopedHandle(CreateFileW(path.c_str(), access, kShareReadWrite, nullptr, OPEN_EXISTING,
                                    attributes | FILE_FLAG_OVERLAPPED, nullptr));
}

} // namespace

void DeviceInfoSetTraits::free(HANDLE h) {
    SetupDiDestroyDeviceInfoList(asInfoSet(h));
}

// --- command collection --------------------------------------------------------------------

bool Win32CommandPort::open(const std::wstring& path) {
    ScopedHandle h = openCollection(path, GENERIC_READ | GENERIC_WRITE, 0);
    if (!h) {
        return false;
    }
    handle_ = std::move(h);
    if (!ioDone_) {
        ioDone_ = manualResetEvent();
    }
    return true;
}

void Win32CommandPort::close() {
    handle_.reset();
}

TransferResult Win32CommandPort::setFeature(std::span<const std::uint8_t> report, PacketCoding,
                                            std::chrono::milliseconds timeout) {
    std::array<std::uint8_t, kChunkReportBufferSize> buffer{};
    const std::size_t n = std::min(report.size(), buffer.size());
    std::copy_n(report.begin(), n, buffer.begin());
    DWORD done = 0;
    return transfer(Kind::setFeature, buffer.data(), static_cast<DWORD>(n), timeout, done);
}

TransferResult Win32CommandPort::getFeature(std::span<std::uint8_t> report, PacketCoding,
                                            std::chrono::milliseconds timeout) {
    // The driver writes into the buffer: a private one, copied only when the call succeeded, so
    // that a cancelled request leaves the caller's buffer as it was.
    std::array<std::uint8_t, kChunkReportBufferSize> buffer{};
    const std::size_t n = std::min(report.size(), buffer.size());
    std::copy_n(report.begin(), n, buffer.begin());
    DWORD done = 0;
    const TransferResult result =
        transfer(Kind::getFeature, buffer.data(), static_cast<DWORD>(n), timeout, done);
    if (result == TransferResult::ok) {
        std::copy_n(buffer.begin(), n, report.begin());
    }
    return result;
}

// One overlapped request on the command handle, waited for at most `timeout`. On time-out the
// request is cancelled and waited for, so the buffer is free when this returns.
TransferResult Win32CommandPort::transfer(Kind kind, void* data, DWORD length,
                                          std::chrono::milliseconds timeout, DWORD& done) {
    done = 0;
    if (!handle_ || !ioDone_) {
        return TransferResult::failed;
    }
    const HANDLE h = handle_.get();
    OVERLAPPED overlapped{};
    overlapped.hEvent = ioDone_.get();
    ResetEvent(ioDone_.get());
    BOOL started = FALSE;
    switch (kind) {
    case Kind::read:
        started = ReadFile(h, data, length, nullptr, &overlapped);
        break;
    case Kind::write:
        started = WriteFile(h, data, length, nullptr, &overlapped);
        break;
    case Kind::setFeature:
        // What HidD_SetFeature sends: the report (ID first) as the input buffer.
        started = DeviceIoControl(h, IOCTL_HID_SET_FEATURE, data, length, nullptr, 0, nullptr,
                                  &overlapped);
        break;
    case Kind::getFeature:
        // The report ID in byte 0 tells the driver which report to fetch into the same buffer.
        started = DeviceIoControl(h, IOCTL_HID_GET_FEATURE, data, length, data, length, nullptr,
                                  &overlapped);
        break;
    }
    if (!started && GetLastError() != ERROR_IO_PENDING) {
        return TransferResult::failed;
    }
    const auto ms = static_cast<DWORD>(std::clamp<long long>(timeout.count(), 0, INFINITE - 1));
    if (WaitForSingleObject(ioDone_.get(), ms) != WAIT_OBJECT_0) {
        CancelIoEx(h, &overlapped);
        GetOverlappedResult(h, &overlapped, &done, TRUE);
        done = 0;
        return TransferResult::timedOut;
    }
    return GetOverlappedResult(h, &overlapped, &done, FALSE) != FALSE ? TransferResult::ok
                                                                      : TransferResult::failed;
}

TransferResult Win32CommandPort::writeReport(std::span<const std::uint8_t> report,
                                             std::chrono::milliseconds timeout) {
    std::array<std::uint8_t, kChunkReportBufferSize> buffer{};
    const std::size_t n = std::min(report.size(), buffer.size());
    std::copy_n(report.begin(), n, buffer.begin());
    DWORD done = 0;
    const TransferResult result =
        transfer(Kind::write, buffer.data(), static_cast<DWORD>(n), timeout, done);
    if (result == TransferResult::ok && done != n) {
        return TransferResult::failed;
    }
    return result;
}

ReadResult Win32CommandPort::readReport(std::span<std::uint8_t> report,
                                        std::chrono::milliseconds timeout) {
    DWORD done = 0;
    const TransferResult result =
        transfer(Kind::read, report.data(), static_cast<DWORD>(report.size()), timeout, done);
    if (result == TransferResult::ok && done == 0) {
        return ReadResult::failed;
    }
    return result;
}

void Win32CommandPort::flushInput() {
    if (handle_) {
        HidD_FlushQueue(handle_.get());
    }
}

// --- event collection ----------------------------------------------------------------------

BOOL startReadFile(HANDLE handle, std::span<std::uint8_t> buffer, OVERLAPPED* overlapped) {
    return ReadFile(handle, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr, overlapped);
}

Win32EventPort::Win32EventPort(ReadStarter startRead) : startRead_(std::move(startRead)) {}

Win32EventPort::~Win32EventPort() {
    close();
}

bool Win32EventPort::createReadEvent() {
    if (!readEvent_) {
        readEvent_ = manualResetEvent();
    }
    return readEvent_.valid();
}

void Win32EventPort::resetSignal() {
    if (readEvent_) {
        ResetEvent(readEvent_.get());
    }
}

void Win32EventPort::waitSignal() {
    if (readEvent_) {
        WaitForSingleObject(readEvent_.get(), INFINITE);
    }
}

void Win32EventPort::signal() {
    if (readEvent_) {
        SetEvent(readEvent_.get());
    }
}

bool Win32EventPort::isOpen() const {
    std::lock_guard lock(mutex_);
    return readHandle_.valid();
}

bool Win32EventPort::holdsReadHandle(HANDLE handle) const {
    if (readHandle_.get() == handle) {
        return true;
    }
    return std::any_of(retired_.begin(), retired_.end(),
                       [handle](const ScopedHandle& r) { return r.get() == handle; });
}

bool Win32EventPort::beginRead(std::span<std::uint8_t> buffer) {
    // The overlapped record is reused: a read still pending (abandoned when the mouse went
    // away) is cancelled and finished first.
    cancelRead();
    // Held until the read has started: closeHandles() waits for it and then aborts the read by
    // closing its handle, and never closes the handle between taking it and reading from it.
    std::lock_guard lock(mutex_);
    retired_.clear(); // no read uses them any more
    if (!readHandle_ || !readEvent_) {
        return false;
    }
    overlapped_ = OVERLAPPED{};
    overlapped_.hEvent = readEvent_.get();
    if (!startRead_(readHandle_.get(), buffer, &overlapped_) &&
        GetLastError() != ERROR_IO_PENDING) {
        return false;
    }
    readingHandle_ = readHandle_.get();
    pending_ = true;
    return true;
}

std::size_t Win32EventPort::finishRead() {
    if (!pending_) {
        return 0;
    }
    pending_ = false;
    // Woken while the read is still in flight: someone else signalled readEvent, normally a
    // reopen (one plug-in announces every collection of the mouse), and each handle queues its
    // own copy of every later report, so this read would only repeat one. GetOverlappedResult
    // would return at once and leave the read running into the buffer: it is cancelled and
    // waited out instead, keeping a report that had already arrived.
    return awaitRead(!HasOverlappedIoCompleted(&overlapped_));
}

void Win32EventPort::cancelRead() {
    if (!pending_) {
        return;
    }
    pending_ = false;
    awaitRead(true);
}

std::size_t Win32EventPort::awaitRead(bool cancel) {
    if (cancel) {
        // A handle closed meanwhile has aborted its read already; its value may name another
        // object by now.
        std::lock_guard lock(mutex_);
        if (holdsReadHandle(readingHandle_)) {
            CancelIoEx(readingHandle_, &overlapped_);
        }
    }
    // readEvent may be signalled while the read is still running: wait for the read itself. Its
    // completion writes the record before it sets the event, so a completion between the check
    // and the reset is seen by the second check.
    while (!HasOverlappedIoCompleted(&overlapped_)) {
        ResetEvent(readEvent_.get());
        if (HasOverlappedIoCompleted(&overlapped_)) {
            break;
        }
        WaitForSingleObject(readEvent_.get(), INFINITE);
    }
    // The read is over: its result is in the record, whatever became of the handle.
    DWORD done = 0;
    return GetOverlappedResult(readingHandle_, &overlapped_, &done, FALSE) ? done : 0;
}

bool Win32EventPort::openRead(const std::wstring& path) {
    ScopedHandle h = openCollection(path, GENERIC_READ, FILE_ATTRIBUTE_NORMAL);
    if (!h) {
        return false;
    }
    std::lock_guard lock(mutex_);
    if (readHandle_) {
        // The listener may have a read pending on it; it closes the handle at its next read.
        retired_.push_back(std::move(readHandle_));
    }
    readHandle_ = std::move(h);
    return true;
}

bool Win32EventPort::openWrite(const std::wstring& path) {
    ScopedHandle h = openCollection(path, GENERIC_WRITE, FILE_ATTRIBUTE_NORMAL);
    if (!h) {
        return false;
    }
    writeHandle_ = std::move(h);
    return true;
}

void Win32EventPort::closeHandles() {
    // Closing a handle completes its pending read (aborted), which signals readEvent; the
    // listener's buffer and record outlive the handle, so nothing is written after it is freed.
    {
        std::lock_guard lock(mutex_);
        readHandle_.reset();
        retired_.clear();
    }
    writeHandle_.reset();
}

void Win32EventPort::close() {
    closeHandles();
    readEvent_.reset();
}

// --- enumeration ---------------------------------------------------------------------------

bool Win32HidSystem::beginScan() {
    endScan();
    infoSet_.reset(SetupDiGetClassDevsW(&kHidInterfaceClass, nullptr, nullptr,
                                        DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    return infoSet_.valid();
}

InterfaceStatus Win32HidSystem::describe(std::uint32_t index, std::u16string& path,
                                         HidAttributes& attributes) {
    query_.reset();
    if (!infoSet_) {
        return InterfaceStatus::noMoreItems;
    }
    const HDEVINFO set = asInfoSet(infoSet_.get());
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof(data);
    if (!SetupDiEnumDeviceInterfaces(set, nullptr, &kHidInterfaceClass, index, &data)) {
        return InterfaceStatus::noMoreItems;
    }
    DWORD required = 0;
    SetupDiGetDeviceInterfaceDetailW(set, &data, nullptr, 0, &required, nullptr);
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) {
        return InterfaceStatus::detailFailed;
    }
    // DWORD elements keep the record aligned.
    std::vector<DWORD> storage((required + sizeof(DWORD) - 1) / sizeof(DWORD));
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!SetupDiGetDeviceInterfaceDetailW(set, &data, detail, required, nullptr, nullptr)) {
        return InterfaceStatus::detailFailed;
    }
    const std::wstring wide(detail->DevicePath);
    path.assign(wide.begin(), wide.end());

    query_.reset(CreateFileW(wide.c_str(), 0, kShareReadWrite, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!query_) {
        return InterfaceStatus::openFailed;
    }
    HIDD_ATTRIBUTES attr{};
    attr.Size = sizeof(attr);
    attributes = HidAttributes{};
    if (HidD_GetAttributes(query_.get(), &attr)) {
        attributes = HidAttributes{attr.VendorID, attr.ProductID, attr.VersionNumber};
    }
    return InterfaceStatus::ok;
}

CapsStatus Win32HidSystem::capabilities(HidCaps& caps) {
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    const bool have = query_ && HidD_GetPreparsedData(query_.get(), &preparsed);
    query_.reset();
    if (!have) {
        return CapsStatus::preparsedDataFailed;
    }
    HIDP_CAPS c{};
    const NTSTATUS status = HidP_GetCaps(preparsed, &c);
    HidD_FreePreparsedData(preparsed);
    if (status == HIDP_STATUS_INVALID_PREPARSED_DATA) {
        return CapsStatus::invalidPreparsedData;
    }
    caps = HidCaps{c.Usage, c.UsagePage, c.FeatureReportByteLength, c.InputReportByteLength,
                   c.OutputReportByteLength};
    return CapsStatus::ok;
}

void Win32HidSystem::endScan() {
    query_.reset();
    infoSet_.reset();
}

bool Win32HidSystem::openEventRead(const std::u16string& path) {
    return events_.openRead(wideString(path));
}

bool Win32HidSystem::openEventWrite(const std::u16string& path) {
    return events_.openWrite(wideString(path));
}

bool Win32HidSystem::openCommand(const std::u16string& path) {
    return command_.open(wideString(path));
}

void Win32HidSystem::closeDevice() {
    command_.close();
    events_.closeHandles();
}

void Win32HidSystem::close() {
    endScan();
    command_.close();
    events_.close();
}

// --- window side ---------------------------------------------------------------------------

void Win32WindowEventSink::deliver(DeviceEventCode code, std::uint32_t value) {
    if (HWND window = window_.load()) {
        SendMessageW(window, kDeviceEventMessage, static_cast<WPARAM>(code),
                     static_cast<LPARAM>(value));
    }
}

HDEVNOTIFY registerHidNotifications(HWND window) {
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kHidInterfaceClass;
    return RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

BOOL handleDeviceChange(DeviceChangeHandler& handler, WPARAM event, LPARAM broadcast) {
    std::uint32_t type = 0;
    std::u16string name;
    // Only these two events are known to carry a broadcast header.
    if ((event == DBT_DEVICEARRIVAL || event == DBT_DEVICEREMOVECOMPLETE) && broadcast != 0) {
        const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(broadcast);
        type = header->dbch_devicetype;
        if (type == DBT_DEVTYP_DEVICEINTERFACE) {
            const auto* record = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header);
            const std::wstring wide(record->dbcc_name);
            name.assign(wide.begin(), wide.end());
        }
    }
    return handler.onDeviceChange(static_cast<std::uint32_t>(event), type, name) ? TRUE : FALSE;
}

} // namespace qor
