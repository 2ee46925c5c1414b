// The few system calls the hidraw transport makes, behind an interface so that tests can put a
// fake device layer under the ports. Descriptors are plain ints; results are byte counts or
// -errno, as the calls give them.
#pragma once
#include <cstdint>
#include <span>
#include <string>

namespace qor {

struct PollEntry {
    int fd = -1;
    bool readable = false; // out: data waiting
    bool broken = false;   // out: hang-up, error or an invalid descriptor
};

class HidrawIo {
public:
    virtual ~HidrawIo() = default;
    // Opened for reading and writing, non-blocking reads.
    virtual int open(const std::string& path) = 0;
    virtual void close(int fd) = 0;
    // HIDIOCSFEATURE / HIDIOCGFEATURE with the report ID in byte 0.
    virtual int setFeature(int fd, std::span<const std::uint8_t> report) = 0;
    virtual int getFeature(int fd, std::span<std::uint8_t> report) = 0;
    virtual int write(int fd, std::span<const std::uint8_t> report) = 0;
    virtual int read(int fd, std::span<std::uint8_t> into) = 0;
    // Waits up to `timeoutMs` (-1: no limit) for one of the entries; returns how many are ready,
    // 0 on time-out, -errno on failure.
    virtual int poll(std::span<PollEntry> entries, int timeoutMs) = 0;

    // A wake-up descriptor for poll (an eventfd): wake() makes it readable, drain() clears it.
    virtual int makeWaker() = 0;
    virtual void wake(int fd) = 0;
    virtual void drain(int fd) = 0;
};

// The real calls.
HidrawIo& systemHidrawIo();

} // namespace qor
