// The device link's view of the operating system's HID services. The Windows adapters and the
// mouse emulator implement these; every decision about what to send and when sits in the core.
#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace qor {

// Buffers the core hands to the ports: a feature report and a chunk report, both with the
// report ID in byte 0. The lengths handed to the system come from the collection and are
// clamped to these sizes.
inline constexpr std::size_t kFeatureReportBufferSize = 16;
inline constexpr std::size_t kChunkReportBufferSize = 40;
inline constexpr std::size_t kEventReportBufferSize = 40;

// How the packet bytes 1..8 of a feature report are coded on the wire. The device and the
// emulator never look at it (a mouse has only the bytes); it lets a decorator such as the trace
// show the packet as the program means it.
enum class PacketCoding { plain, scrambled };

enum class TransferResult {
    ok,       // one whole report went or arrived
    failed,   // the system refused the transfer (device gone, bad length)
    timedOut, // it did not complete within the time-out and was cancelled
};
using ReadResult = TransferResult;

// The feature collection: command packets in feature reports, 32-byte chunks in output and
// input reports. Used from the window's thread only. Every call hands exactly `report.size()`
// bytes to the system and waits at most `timeout`; a transfer still pending then is cancelled
// before the call returns, so the buffer is free again.
class HidCommandPort {
public:
    virtual ~HidCommandPort() = default;
    virtual TransferResult setFeature(std::span<const std::uint8_t> report, PacketCoding coding,
                                      std::chrono::milliseconds timeout) = 0;
    // Unless it is ok, the buffer keeps what it held (the core zeroes it first).
    virtual TransferResult getFeature(std::span<std::uint8_t> report, PacketCoding coding,
                                      std::chrono::milliseconds timeout) = 0;
    virtual TransferResult writeReport(std::span<const std::uint8_t> report,
                                       std::chrono::milliseconds timeout) = 0;
    // Reads one input report.
    virtual ReadResult readReport(std::span<std::uint8_t> report,
                                  std::chrono::milliseconds timeout) = 0;
    // Drops the input reports the system has queued for this handle and not yet read.
    virtual void flushInput() = 0;
};

// The input collection as the listener thread sees it, shaped after one overlapped read and its
// manual-reset event. `signal` may be called from any thread; the rest from the listener only.
class HidEventPort {
public:
    virtual ~HidEventPort() = default;
    virtual void resetSignal() = 0;
    // Blocks until the event is signalled: by signal() or by a read completing.
    virtual void waitSignal() = 0;
    virtual void signal() = 0;
    // Whether the input collection has been opened for reading.
    virtual bool isOpen() const = 0;
    // Starts reading one report into `buffer` (which must stay valid until the read completes
    // or another read starts); completion signals the event. False when it could not start.
    virtual bool beginRead(std::span<std::uint8_t> buffer) = 0;
    // Waits for the read begun last and returns the number of bytes it delivered (0 on failure).
    virtual std::size_t finishRead() = 0;
    // Cancels a read still pending and waits until the buffer is no longer written.
    virtual void cancelRead() = 0;
};

struct HidAttributes {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t versionNumber = 0;
};

struct HidCaps {
    std::uint16_t usage = 0;
    std::uint16_t usagePage = 0;
    std::uint16_t featureReportLength = 0;
    std::uint16_t inputReportLength = 0;
    std::uint16_t outputReportLength = 0;
};

enum class InterfaceStatus {
    ok,           // path and attributes filled (attributes zero when unreadable)
    noMoreItems,  // the index is past the end, or enumeration failed
    detailFailed, // the interface detail could not be read
    openFailed,   // the path could not be opened for a query
};

enum class CapsStatus {
    ok,
    preparsedDataFailed,
    invalidPreparsedData,
};

// One pass over the present HID device interfaces, and the opening of the mouse's collections.
// The window's thread only.
class DeviceEnumerator {
public:
    virtual ~DeviceEnumerator() = default;
    // Takes the set of present HID interfaces. False when the system refuses.
    virtual bool beginScan() = 0;
    // Interface `index` of the set: its path, and its attributes read through a query handle
    // (no access rights, shared read/write) that stays open for capabilities().
    virtual InterfaceStatus describe(std::uint32_t index, std::u16string& path,
                                     HidAttributes& attributes) = 0;
    // The capabilities of the interface described last; closes its query handle.
    virtual CapsStatus capabilities(HidCaps& caps) = 0;
    // Releases the set (and a query handle still open).
    virtual void endScan() = 0;

    // Opening the mouse's collections. Each open replaces earlier handles of the same kind.
    virtual bool openEventRead(const std::u16string& path) = 0;
    virtual bool openEventWrite(const std::u16string& path) = 0;
    virtual bool openCommand(const std::u16string& path) = 0;
    // Closes the command handle and both event handles; a pending event read is cancelled.
    virtual void closeDevice() = 0;
};

} // namespace qor
