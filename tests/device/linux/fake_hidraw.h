// A fake device layer under the hidraw ports: nodes with queues of input reports, recorded
// writes and feature reports, wake-up descriptors, and unplugging, with poll() that blocks the
// way the kernel's does.
#pragma once
#include "device/hid_ports.h"
#include "device/linux/hidraw_io.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace qor::test {

using Report = std::vector<std::uint8_t>;
// The wait a test hands the ports; the fake device answers at once.
inline constexpr std::chrono::milliseconds kWait{1000};

class FakeHidraw final : public HidrawIo {
public:
    struct Node {
        int openError = 0; // -EACCES and the like
        bool present = true;
        std::deque<Report> inputs;
        // Input reports the mouse sends once the next feature report (a command) is set.
        std::deque<Report> answersToNextFeature;
        Report featureAnswer;
        std::vector<Report> features; // set
        std::vector<Report> writes;
        int shortWrite = -1; // bytes a write reports, when not all
        // A device behind the node, seen through its Windows-shaped port: reports cross with the
        // ID byte taken off (reads) as hidraw does for a device without report IDs.
        HidCommandPort* device = nullptr;
    };

    // Test side.
    void addNode(const std::string& path) {
        std::lock_guard lock(mutex_);
        nodes_[path];
    }
    template <typename F> auto withNode(const std::string& path, F f) {
        std::lock_guard lock(mutex_);
        return f(nodes_[path]);
    }
    void push(const std::string& path, Report report) {
        {
            std::lock_guard lock(mutex_);
            nodes_[path].inputs.push_back(std::move(report));
        }
        changed_.notify_all();
    }
    void unplug(const std::string& path) {
        {
            std::lock_guard lock(mutex_);
            nodes_[path].present = false;
        }
        changed_.notify_all();
    }
    void plugIn(const std::string& path) {
        std::lock_guard lock(mutex_);
        nodes_[path] = Node{};
    }
    std::size_t openCount() const {
        std::lock_guard lock(mutex_);
        return fds_.size();
    }
    unsigned polls() const {
        std::lock_guard lock(mutex_);
        return polls_;
    }

    // HidrawIo.
    int open(const std::string& path) override {
        std::lock_guard lock(mutex_);
        auto it = nodes_.find(path);
        if (it == nodes_.end() || !it->second.present) {
            return -ENOENT;
        }
        if (it->second.openError != 0) {
            return it->second.openError;
        }
        fds_[next_] = path;
        return next_++;
    }
    void close(int fd) override {
        std::lock_guard lock(mutex_);
        fds_.erase(fd);
        wakers_.erase(fd);
    }
    int setFeature(int fd, std::span<const std::uint8_t> report) override {
        std::lock_guard lock(mutex_);
        Node* n = node(fd);
        if (n == nullptr) {
            return -ENODEV;
        }
        n->features.emplace_back(report.begin(), report.end());
        for (auto& answer : n->answersToNextFeature) {
            n->inputs.push_back(std::move(answer));
        }
        n->answersToNextFeature.clear();
        if (n->device != nullptr &&
            n->device->setFeature(report, PacketCoding::plain, kWait) != TransferResult::ok) {
            return -EPIPE;
        }
        return static_cast<int>(report.size());
    }
    int getFeature(int fd, std::span<std::uint8_t> report) override {
        std::lock_guard lock(mutex_);
        Node* n = node(fd);
        if (n == nullptr) {
            return -ENODEV;
        }
        if (n->device != nullptr) {
            return n->device->getFeature(report, PacketCoding::plain, kWait) == TransferResult::ok
                       ? static_cast<int>(report.size())
                       : -EPIPE;
        }
        if (n->featureAnswer.empty()) {
            std::fill(report.begin(), report.end(), 0xEE); // scribbles before it fails
            return -EPIPE;
        }
        const std::size_t size = std::min(report.size(), n->featureAnswer.size());
        std::copy_n(n->featureAnswer.begin(), size, report.begin());
        return static_cast<int>(size);
    }
    int write(int fd, std::span<const std::uint8_t> report) override {
        std::lock_guard lock(mutex_);
        Node* n = node(fd);
        if (n == nullptr) {
            return -ENODEV;
        }
        n->writes.emplace_back(report.begin(), report.end());
        if (n->device != nullptr && n->device->writeReport(report, kWait) != TransferResult::ok) {
            return -EIO;
        }
        return n->shortWrite >= 0 ? n->shortWrite : static_cast<int>(report.size());
    }
    int read(int fd, std::span<std::uint8_t> into) override {
        std::lock_guard lock(mutex_);
        Node* n = node(fd);
        if (n == nullptr) {
            return -EIO; // as hidraw_read answers for a device gone
        }
        if (n->device != nullptr) {
            std::vector<std::uint8_t> report(into.size() + 1, 0);
            switch (n->device->readReport(report, std::chrono::milliseconds(0))) {
            case ReadResult::ok:
                std::copy(report.begin() + 1, report.end(), into.begin());
                return static_cast<int>(into.size());
            case ReadResult::timedOut:
                return -EAGAIN;
            case ReadResult::failed:
                return -EIO;
            }
        }
        if (n->inputs.empty()) {
            return -EAGAIN;
        }
        const Report r = n->inputs.front();
        n->inputs.pop_front();
        const std::size_t size = std::min(into.size(), r.size());
        std::copy_n(r.begin(), size, into.begin());
        return static_cast<int>(size);
    }
    int poll(std::span<PollEntry> entries, int timeoutMs) override {
        std::unique_lock lock(mutex_);
        ++polls_;
        auto ready = [&] {
            int count = 0;
            for (PollEntry& e : entries) {
                e.readable = false;
                e.broken = false;
                if (auto w = wakers_.find(e.fd); w != wakers_.end()) {
                    e.readable = w->second > 0;
                } else if (Node* n = node(e.fd)) {
                    // A device behind the node is asked by the read itself.
                    e.readable = !n->inputs.empty() || n->device != nullptr;
                } else {
                    e.broken = true;
                }
                count += e.readable || e.broken ? 1 : 0;
            }
            return count;
        };
        if (timeoutMs < 0) {
            changed_.wait(lock, [&] { return ready() > 0; });
        } else {
            changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return ready() > 0; });
        }
        return ready();
    }
    int makeWaker() override {
        std::lock_guard lock(mutex_);
        wakers_[next_] = 0;
        return next_++;
    }
    void wake(int fd) override {
        {
            std::lock_guard lock(mutex_);
            ++wakers_[fd];
        }
        changed_.notify_all();
    }
    void drain(int fd) override {
        std::lock_guard lock(mutex_);
        wakers_[fd] = 0;
    }

private:
    // The node behind an open descriptor, if it is still plugged in.
    Node* node(int fd) {
        auto f = fds_.find(fd);
        if (f == fds_.end()) {
            return nullptr;
        }
        Node& n = nodes_[f->second];
        return n.present ? &n : nullptr;
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::string, Node> nodes_;
    std::map<int, std::string> fds_;
    std::map<int, int> wakers_;
    int next_ = 3;
    unsigned polls_ = 0;
};

} // namespace qor::test
