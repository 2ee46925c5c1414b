#include "device/linux/hidraw_ports.h"

#include "base/text_utf8.h"
#include "device/event_report.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace qor {

namespace {

// What hidraw's ioctl and write answer once the device has been unplugged.
bool deviceGone(int result) {
    return result == -ENODEV;
}

// A read of an unnumbered node delivers the report alone; the core's buffers hold the report
// ID in byte 0, as the Windows calls deliver it.
std::span<std::uint8_t> readTarget(std::span<std::uint8_t> report, bool numbered) {
    return numbered || report.empty() ? report : report.subspan(1);
}

std::size_t delivered(std::span<std::uint8_t> report, bool numbered, int got) {
    if (numbered) {
        return static_cast<std::size_t>(got);
    }
    report[0] = 0;
    return static_cast<std::size_t>(got) + 1;
}

} // namespace

// --- command collection --------------------------------------------------------------------

int HidrawCommandPort::open(const std::string& path, bool numberedReports) {
    const int fd = io_.open(path);
    if (fd < 0) {
        return fd;
    }
    close();
    fd_ = fd;
    numbered_ = numberedReports;
    return 0;
}

void HidrawCommandPort::close() {
    if (fd_ >= 0) {
        io_.close(fd_);
        fd_ = -1;
    }
}

TransferResult HidrawCommandPort::resultOf(int result) {
    // The kernel gives up on a control or interrupt transfer the mouse does not take after its
    // own time-out: the mouse stalls, it is not gone.
    if (result == -ETIMEDOUT) {
        return TransferResult::timedOut;
    }
    return check(result) ? TransferResult::ok : TransferResult::failed;
}

bool HidrawCommandPort::check(int result) {
    if (deviceGone(result)) {
        close();
        if (removed_) {
            removed_();
        }
    }
    return result >= 0;
}

TransferResult HidrawCommandPort::setFeature(std::span<const std::uint8_t> report, PacketCoding,
                                             std::chrono::milliseconds) {
    return fd_ >= 0 ? resultOf(io_.setFeature(fd_, report)) : TransferResult::failed;
}

TransferResult HidrawCommandPort::getFeature(std::span<std::uint8_t> report, PacketCoding,
                                             std::chrono::milliseconds) {
    if (fd_ < 0) {
        return TransferResult::failed;
    }
    // A failed call may have written into its buffer; the caller's keeps what it held.
    std::vector<std::uint8_t> answer(report.begin(), report.end());
    const TransferResult result = resultOf(io_.getFeature(fd_, answer));
    if (result == TransferResult::ok) {
        std::copy(answer.begin(), answer.end(), report.begin());
    }
    return result;
}

TransferResult HidrawCommandPort::writeReport(std::span<const std::uint8_t> report,
                                              std::chrono::milliseconds) {
    if (fd_ < 0) {
        return TransferResult::failed;
    }
    const int written = io_.write(fd_, report);
    const TransferResult result = resultOf(written);
    return result == TransferResult::ok && static_cast<std::size_t>(written) != report.size()
               ? TransferResult::failed
               : result;
}

void HidrawCommandPort::flushInput() {
    // The node is non-blocking: read what is queued until nothing is. Bounded, as a mouse that
    // keeps sending would otherwise hold the loop.
    constexpr int kMostQueued = 64;
    std::vector<std::uint8_t> discard(256); // longer than any report of the mouse
    for (int i = 0; i < kMostQueued && fd_ >= 0; ++i) {
        PollEntry entry{fd_};
        if (io_.poll(std::span(&entry, 1), 0) <= 0 || io_.read(fd_, discard) <= 0) {
            return;
        }
    }
}

ReadResult HidrawCommandPort::readReport(std::span<std::uint8_t> report,
                                         std::chrono::milliseconds timeout) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    while (fd_ >= 0) {
        // Rounded up: a wait is never shorter than asked.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        PollEntry entry{fd_};
        const int ready =
            io_.poll(std::span(&entry, 1), static_cast<int>(std::max<long long>(left.count(), 0)));
        if (ready < 0) {
            return ReadResult::failed;
        }
        if (ready == 0) {
            return ReadResult::timedOut;
        }
        const int got = io_.read(fd_, readTarget(report, numbered_));
        if (got == -EAGAIN && !entry.broken) {
            continue; // woken without a report: wait out the rest of the time-out
        }
        if (got <= 0) {
            // A node that hangs up is gone; its reads then fail with EIO, not ENODEV.
            check(entry.broken ? -ENODEV : got);
            return ReadResult::failed;
        }
        if (numbered_ && report[0] == kEventReportId) {
            // A node that carries both vendor collections delivers the mouse's event reports
            // here too; they are not chunks. The listener reads its own copy on its own handle.
            continue;
        }
        (void)delivered(report, numbered_, got);
        return ReadResult::ok;
    }
    return ReadResult::failed;
}

// --- event collection ----------------------------------------------------------------------

HidrawEventPort::~HidrawEventPort() {
    close();
    std::lock_guard lock(retiredMutex_);
    for (int fd : retired_) {
        io_.close(fd);
    }
    if (waker_ >= 0) {
        io_.close(waker_);
    }
}

int HidrawEventPort::waker() {
    std::lock_guard lock(wakerMutex_);
    if (waker_ < 0) {
        waker_ = io_.makeWaker();
    }
    return waker_;
}

int HidrawEventPort::open(const std::string& path, bool numberedReports) {
    const int fd = io_.open(path);
    if (fd < 0) {
        return fd;
    }
    numbered_ = numberedReports;
    const int old = fd_.exchange(fd);
    if (old >= 0) {
        std::lock_guard lock(retiredMutex_);
        retired_.push_back(old);
    }
    return 0;
}

void HidrawEventPort::close() {
    const int old = fd_.exchange(-1);
    if (old >= 0) {
        std::lock_guard lock(retiredMutex_);
        retired_.push_back(old);
    }
}

void HidrawEventPort::resetSignal() {
    signalled_ = false;
    if (const int w = waker(); w >= 0) {
        io_.drain(w);
    }
}

void HidrawEventPort::signal() {
    signalled_ = true;
    if (const int w = waker(); w >= 0) {
        io_.wake(w);
    }
}

bool HidrawEventPort::beginRead(std::span<std::uint8_t> buffer) {
    if (fd_.load() < 0) {
        return false;
    }
    buffer_ = buffer;
    pending_ = true;
    done_ = false;
    bytes_ = 0;
    return true;
}

std::size_t HidrawEventPort::finishRead() {
    if (!pending_) {
        return 0;
    }
    pending_ = false;
    // Woken by a signal before the node had data: nothing was read, and the report the node
    // receives later waits in its queue for the next read.
    return done_ ? bytes_ : 0;
}

void HidrawEventPort::waitSignal() {
    const int w = waker();
    while (!signalled_) {
        {
            // Nodes replaced by a reopen: only this thread polls them, and it is not polling.
            std::lock_guard lock(retiredMutex_);
            for (int fd : retired_) {
                io_.close(fd);
            }
            retired_.clear();
        }
        const int fd = fd_.load();
        PollEntry entries[2] = {PollEntry{w}, PollEntry{fd}};
        const bool reading = pending_ && !done_ && fd >= 0;
        if (w < 0 && !reading) {
            return; // nothing to wait on: the caller looks at its state again
        }
        const auto list = w < 0 ? std::span(entries + 1, 1) : std::span(entries, reading ? 2 : 1);
        if (io_.poll(list, -1) < 0) {
            return;
        }
        const PollEntry& node = list.back();
        if (reading && node.fd == fd && (node.readable || node.broken)) {
            const int got = io_.read(fd, readTarget(buffer_, numbered_));
            if (got == -EAGAIN && !node.broken) {
                continue;
            }
            done_ = true;
            signalled_ = true;
            if (got > 0) {
                bytes_ = delivered(buffer_, numbered_, got);
                continue;
            }
            // The node is gone: close it so that the listener sleeps until a reopen.
            int expected = fd;
            if (fd_.compare_exchange_strong(expected, -1)) {
                std::lock_guard lock(retiredMutex_);
                retired_.push_back(fd);
            }
            if (removed_) {
                removed_();
            }
        }
    }
}

// --- discovery -----------------------------------------------------------------------------

bool HidrawSystem::beginScan() {
    scan_ = scanHidraw(roots_);
    described_ = scan_.size();
    return true;
}

InterfaceStatus HidrawSystem::describe(std::uint32_t index, std::u16string& path,
                                       HidAttributes& attributes) {
    if (index >= scan_.size()) {
        return InterfaceStatus::noMoreItems;
    }
    described_ = index;
    path = utf8ToUtf16(scan_[index].node.string());
    attributes = scan_[index].attributes;
    return InterfaceStatus::ok;
}

CapsStatus HidrawSystem::capabilities(HidCaps& caps) {
    if (described_ >= scan_.size()) {
        return CapsStatus::preparsedDataFailed;
    }
    caps = scan_[described_].caps;
    return CapsStatus::ok;
}

void HidrawSystem::endScan() {}

bool HidrawSystem::numberedAt(const std::u16string& path) const {
    // The path is the one described last; its collection says how its node numbers reports.
    if (described_ < scan_.size() && utf8ToUtf16(scan_[described_].node.string()) == path) {
        return scan_[described_].numberedReports;
    }
    return true;
}

bool HidrawSystem::opened(int result, const std::u16string& path) {
    if (result < 0) {
        lastOpenError_ = result;
        lastOpenPath_ = utf16ToUtf8(path);
        return false;
    }
    return true;
}

bool HidrawSystem::openEventRead(const std::u16string& path) {
    return opened(events_.open(utf16ToUtf8(path), numberedAt(path)), path);
}

bool HidrawSystem::openEventWrite(const std::u16string&) {
    return events_.isOpen();
}

bool HidrawSystem::openCommand(const std::u16string& path) {
    return opened(command_.open(utf16ToUtf8(path), numberedAt(path)), path);
}

void HidrawSystem::closeDevice() {
    command_.close();
    events_.close();
}

} // namespace qor
