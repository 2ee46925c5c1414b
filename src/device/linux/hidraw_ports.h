// The device link's ports over Linux hidraw nodes: the command collection's feature and chunk
// reports, the event collection's reads, and discovery over sysfs. They translate; the core
// decides. A node that reports the device gone is closed, so later calls fail at once the way
// they fail on Windows after a removal.
#pragma once
#include "device/hid_ports.h"
#include "device/hidraw_scan.h"
#include "device/linux/hidraw_io.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace qor {

// Removal seen by a port: told once per opened node, from the thread that saw it.
using RemovalHandler = std::function<void()>;

class HidrawCommandPort final : public HidCommandPort {
public:
    explicit HidrawCommandPort(HidrawIo& io) : io_(io) {}
    ~HidrawCommandPort() override { close(); }
    HidrawCommandPort(const HidrawCommandPort&) = delete;
    HidrawCommandPort& operator=(const HidrawCommandPort&) = delete;

    // Replaces the node opened earlier. `numberedReports`: whether the node's input reports
    // start with their ID; without, reads get the ID byte 0 put in front as Windows does.
    // Returns 0 or -errno.
    int open(const std::string& path, bool numberedReports);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    void onRemoval(RemovalHandler handler) { removed_ = std::move(handler); }

    // The kernel bounds feature reports and output reports itself (the USB control and
    // interrupt transfers of usbhid time out after 5 s); the time-out here is not used.
    TransferResult setFeature(std::span<const std::uint8_t> report, PacketCoding coding,
                              std::chrono::milliseconds timeout) override;
    TransferResult getFeature(std::span<std::uint8_t> report, PacketCoding coding,
                              std::chrono::milliseconds timeout) override;
    TransferResult writeReport(std::span<const std::uint8_t> report,
                               std::chrono::milliseconds timeout) override;
    void flushInput() override;
    ReadResult readReport(std::span<std::uint8_t> report,
                          std::chrono::milliseconds timeout) override;

private:
    // Closes the node when the call's result says the device is gone.
    bool check(int result);
    TransferResult resultOf(int result);

    HidrawIo& io_;
    int fd_ = -1;
    bool numbered_ = true;
    RemovalHandler removed_;
};

// The listener's side: one read at a time, a manual-reset signal made of a flag and a wake-up
// descriptor, and the read itself done inside waitSignal() when the node has data.
class HidrawEventPort final : public HidEventPort {
public:
    explicit HidrawEventPort(HidrawIo& io) : io_(io) {}
    ~HidrawEventPort() override;
    HidrawEventPort(const HidrawEventPort&) = delete;
    HidrawEventPort& operator=(const HidrawEventPort&) = delete;

    // Window's thread (or the command-line's main thread). Returns 0 or -errno.
    int open(const std::string& path, bool numberedReports);
    void close();
    void onRemoval(RemovalHandler handler) { removed_ = std::move(handler); }

    void resetSignal() override;
    void waitSignal() override;
    void signal() override;
    bool isOpen() const override { return fd_.load() >= 0; }
    bool beginRead(std::span<std::uint8_t> buffer) override;
    std::size_t finishRead() override;
    void cancelRead() override { pending_ = false; }

private:
    int waker();
    void readNow(int fd);

    HidrawIo& io_;
    std::mutex wakerMutex_;
    int waker_ = -1;
    std::atomic<int> fd_{-1};
    std::atomic<bool> numbered_{true};
    std::atomic<bool> signalled_{false};
    // Listener thread only.
    std::span<std::uint8_t> buffer_;
    bool pending_ = false;
    bool done_ = false;
    std::size_t bytes_ = 0;
    // A node replaced or closed while the listener may poll it; closed at the next read.
    std::mutex retiredMutex_;
    std::vector<int> retired_;
    RemovalHandler removed_;
};

// Discovery over sysfs: each top-level collection of each hidraw node is one interface.
class HidrawSystem final : public DeviceEnumerator {
public:
    explicit HidrawSystem(HidrawIo& io, HidrawRoots roots = {})
        : io_(io), roots_(std::move(roots)), command_(io), events_(io) {}

    HidrawCommandPort& commandPort() { return command_; }
    const HidrawCommandPort& commandPort() const { return command_; }
    HidrawEventPort& eventPort() { return events_; }

    bool beginScan() override;
    InterfaceStatus describe(std::uint32_t index, std::u16string& path,
                             HidAttributes& attributes) override;
    CapsStatus capabilities(HidCaps& caps) override;
    void endScan() override;
    bool openEventRead(const std::u16string& path) override;
    // The event node is opened for reading and writing at once; nothing is written to it.
    bool openEventWrite(const std::u16string& path) override;
    bool openCommand(const std::u16string& path) override;
    void closeDevice() override;

    // The error of the last open that failed (-errno), 0 when none failed, and its node.
    int lastOpenError() const { return lastOpenError_; }
    const std::string& lastOpenPath() const { return lastOpenPath_; }

private:
    bool opened(int result, const std::u16string& path);
    bool numberedAt(const std::u16string& path) const;

    HidrawIo& io_;
    HidrawRoots roots_;
    std::vector<HidrawCollection> scan_;
    std::size_t described_ = 0;
    HidrawCommandPort command_;
    HidrawEventPort events_;
    int lastOpenError_ = 0;
    std::string lastOpenPath_;
};

} // namespace qor
