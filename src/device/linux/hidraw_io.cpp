#include "device/linux/hidraw_io.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <vector>

namespace qor {

namespace {

int result(long r) {
    return r < 0 ? -errno : static_cast<int>(r);
}

class SystemHidrawIo final : public HidrawIo {
public:
    int open(const std::string& path) override {
        return result(::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    }
    void close(int fd) override { ::close(fd); }
    int setFeature(int fd, std::span<const std::uint8_t> report) override {
        return result(::ioctl(fd, HIDIOCSFEATURE(report.size()), report.data()));
    }
    int getFeature(int fd, std::span<std::uint8_t> report) override {
        return result(::ioctl(fd, HIDIOCGFEATURE(report.size()), report.data()));
    }
    int write(int fd, std::span<const std::uint8_t> report) override {
        return result(::write(fd, report.data(), report.size()));
    }
    int read(int fd, std::span<std::uint8_t> into) override {
        return result(::read(fd, into.data(), into.size()));
    }
    int poll(std::span<PollEntry> entries, int timeoutMs) override {
        std::vector<pollfd> fds;
        for (const PollEntry& e : entries) {
            fds.push_back(pollfd{e.fd, POLLIN, 0});
        }
        int n = 0;
        do {
            n = ::poll(fds.data(), fds.size(), timeoutMs);
        } while (n < 0 && errno == EINTR && timeoutMs < 0);
        if (n < 0) {
            return -errno;
        }
        for (std::size_t i = 0; i < fds.size(); ++i) {
            entries[i].readable = (fds[i].revents & POLLIN) != 0;
            entries[i].broken = (fds[i].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
        }
        return n;
    }
    int makeWaker() override { return result(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)); }
    void wake(int fd) override {
        const std::uint64_t one = 1;
        (void)!::write(fd, &one, sizeof one);
    }
    void drain(int fd) override {
        std::uint64_t count = 0;
        (void)!::read(fd, &count, sizeof count);
    }
};

} // namespace

HidrawIo& systemHidrawIo() {
    static SystemHidrawIo io;
    return io;
}

} // namespace qor
