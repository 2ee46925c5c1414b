#include "emulator/mouse_emulator.h"

#include "emulator/firmware_codec.h"

#include "device/precise_sleep.h"

#include "device/device_link.h"

#include <algorithm>
#include <thread>

namespace qor {

namespace {

// The firmware's own coding (firmware_codec.h), never the program's.
using firmware::packet;

const CommandPacket kProbe = packet(
    0x00, {kHandshakeMagic[0], kHandshakeMagic[1], kHandshakeMagic[2], kHandshakeMagic[3], 0, 0});

} // namespace

class MouseEmulator::CommandSide final : public HidCommandPort {
public:
    explicit CommandSide(MouseEmulator& mouse) : mouse_(mouse) {}

    TransferResult setFeature(std::span<const std::uint8_t> report, PacketCoding,
                              std::chrono::milliseconds timeout) override {
        std::unique_lock lock(mouse_.mutex_);
        if (const auto failure = stalledOrAbsent(timeout, lock)) {
            return *failure;
        }
        if (!mouse_.takesReports(timeout, lock)) {
            return mouse_.present_ ? TransferResult::timedOut : TransferResult::failed;
        }
        if (report.size() != kEmulatedFeatureLength || report[0] != 0) {
            return TransferResult::failed;
        }
        return mouse_.takeFeature(report) ? TransferResult::ok : TransferResult::failed;
    }
    TransferResult getFeature(std::span<std::uint8_t> report, PacketCoding,
                              std::chrono::milliseconds timeout) override {
        std::unique_lock lock(mouse_.mutex_);
        if (const auto failure = stalledOrAbsent(timeout, lock)) {
            return *failure;
        }
        if (!mouse_.takesReports(timeout, lock)) {
            return mouse_.present_ ? TransferResult::timedOut : TransferResult::failed;
        }
        if (report.size() != kEmulatedFeatureLength) {
            return TransferResult::failed;
        }
        return mouse_.giveFeature(report) ? TransferResult::ok : TransferResult::failed;
    }
    TransferResult writeReport(std::span<const std::uint8_t> report,
                               std::chrono::milliseconds timeout) override {
        std::unique_lock lock(mouse_.mutex_);
        if (const auto failure = stalledOrAbsent(timeout, lock)) {
            return *failure;
        }
        if (!mouse_.takesReports(timeout, lock)) {
            return mouse_.present_ ? TransferResult::timedOut : TransferResult::failed;
        }
        if (report.size() != kEmulatedChunkLength || report[0] != 0) {
            return TransferResult::failed;
        }
        return mouse_.takeChunk(report) ? TransferResult::ok : TransferResult::failed;
    }
    ReadResult readReport(std::span<std::uint8_t> report,
                          std::chrono::milliseconds timeout) override {
        std::unique_lock lock(mouse_.mutex_);
        if (const auto failure = stalledOrAbsent(timeout, lock)) {
            return *failure;
        }
        if (report.size() < kEmulatedChunkLength) {
            return ReadResult::failed;
        }
        return mouse_.giveChunk(report, timeout, lock);
    }
    void flushInput() override {
        std::lock_guard lock(mouse_.mutex_);
        mouse_.chunksOut_.clear();
        ++mouse_.flushes_;
    }

private:
    std::optional<TransferResult> stalledOrAbsent(std::chrono::milliseconds timeout,
                                                  std::unique_lock<std::mutex>& lock) {
        switch (mouse_.beginTransfer(lock)) {
        case Transfer::absent:
            return TransferResult::failed;
        case Transfer::stalled:
            mouse_.waitOutStall(lock, timeout);
            return mouse_.present_ ? TransferResult::timedOut : TransferResult::failed;
        case Transfer::proceed:
            break;
        }
        return std::nullopt;
    }

    MouseEmulator& mouse_;
};

class MouseEmulator::EventSide final : public HidEventPort {
public:
    explicit EventSide(MouseEmulator& mouse) : mouse_(mouse) {}

    void resetSignal() override {
        std::lock_guard lock(mouse_.mutex_);
        mouse_.signalled_ = false;
    }
    void waitSignal() override {
        std::unique_lock lock(mouse_.mutex_);
        mouse_.changed_.wait(lock, [this] { return mouse_.signalled_; });
    }
    void signal() override {
        std::lock_guard lock(mouse_.mutex_);
        mouse_.signalled_ = true;
        mouse_.changed_.notify_all();
    }
    bool isOpen() const override {
        std::lock_guard lock(mouse_.mutex_);
        return mouse_.eventOpen_;
    }
    bool beginRead(std::span<std::uint8_t> buffer) override {
        std::lock_guard lock(mouse_.mutex_);
        if (!mouse_.present_ || !mouse_.eventOpen_ || buffer.size() < kEmulatedEventLength) {
            return false;
        }
        mouse_.readBuffer_ = buffer;
        mouse_.readPending_ = true;
        mouse_.readDone_ = false;
        mouse_.readBytes_ = 0;
        if (!mouse_.events_.empty()) {
            mouse_.completeEventRead();
        }
        return true;
    }
    std::size_t finishRead() override {
        std::lock_guard lock(mouse_.mutex_);
        // Woken by a signal before a report arrived (a reopen, a wake after the handshake): the
        // read is cancelled and delivers nothing, as the Windows and hidraw ports do; a report
        // that comes later waits for the next read.
        if (mouse_.readPending_) {
            mouse_.endEventRead(0);
        }
        const std::size_t bytes = mouse_.readDone_ ? mouse_.readBytes_ : 0;
        mouse_.readDone_ = false;
        mouse_.readBytes_ = 0;
        return bytes;
    }
    void cancelRead() override {
        std::lock_guard lock(mouse_.mutex_);
        if (mouse_.readPending_) {
            mouse_.endEventRead(0);
        }
        mouse_.readBuffer_ = {};
    }

private:
    MouseEmulator& mouse_;
};

MouseEmulator::MouseEmulator(MouseState state, ScrambleKeys keys)
    : keys_(keys), state_(state), commandSide_(std::make_unique<CommandSide>(*this)),
      eventSide_(std::make_unique<EventSide>(*this)) {}

MouseEmulator::~MouseEmulator() = default;

HidCommandPort& MouseEmulator::commandPort() {
    return *commandSide_;
}

HidEventPort& MouseEmulator::eventPort() {
    return *eventSide_;
}

MouseState MouseEmulator::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

void MouseEmulator::setState(const MouseState& state) {
    std::lock_guard lock(mutex_);
    state_ = state;
}

bool MouseEmulator::scrambling() const {
    std::lock_guard lock(mutex_);
    return scrambling_;
}

bool MouseEmulator::present() const {
    std::lock_guard lock(mutex_);
    return present_;
}

void MouseEmulator::unplug() {
    std::lock_guard lock(mutex_);
    vanish();
}

void MouseEmulator::plugIn() {
    std::lock_guard lock(mutex_);
    present_ = true;
    scrambling_ = false;
    changed_.notify_all();
}

void MouseEmulator::setEventCollectionOpen(bool open) {
    std::lock_guard lock(mutex_);
    eventOpen_ = open;
    if (!open && readPending_) {
        endEventRead(0); // closing the handle cancels its read
    }
}

void MouseEmulator::emitEvent(std::span<const std::uint8_t> report) {
    std::lock_guard lock(mutex_);
    if (!present_ || stalled_) {
        return;
    }
    std::array<std::uint8_t, kEmulatedEventLength> padded{};
    std::copy_n(report.begin(), std::min(report.size(), padded.size()), padded.begin());
    events_.push_back(padded);
    if (readPending_) {
        completeEventRead();
    }
}

void MouseEmulator::emitEvent(std::uint8_t code, std::uint8_t value, std::uint8_t reportId) {
    const std::array<std::uint8_t, 4> report{reportId, code, 0, value};
    emitEvent(report);
}

void MouseEmulator::sendUnaskedReport(std::span<const std::uint8_t> payload) {
    std::lock_guard lock(mutex_);
    if (!present_ || stalled_) {
        return;
    }
    Chunk chunk;
    std::copy_n(payload.begin(), std::min(payload.size(), chunk.bytes.size()), chunk.bytes.begin());
    queueInput(chunk);
    changed_.notify_all();
}

void MouseEmulator::setRefusingReports(bool refusing) {
    std::lock_guard lock(mutex_);
    refusing_ = refusing;
    changed_.notify_all();
}

unsigned MouseEmulator::flushes() const {
    std::lock_guard lock(mutex_);
    return flushes_;
}

std::size_t MouseEmulator::queuedInputReports() const {
    std::lock_guard lock(mutex_);
    return chunksOut_.size();
}

void MouseEmulator::dropAnswers(unsigned count) {
    std::lock_guard lock(mutex_);
    dropAnswers_ = count;
}

void MouseEmulator::announceLength(std::uint8_t code, std::uint8_t length) {
    std::lock_guard lock(mutex_);
    announcedLength_ = std::pair{code, length};
}

void MouseEmulator::stallChunk(unsigned index) {
    std::lock_guard lock(mutex_);
    stallChunk_ = index;
}

void MouseEmulator::setEchoPlainProbe(bool echo) {
    std::lock_guard lock(mutex_);
    echoPlainProbe_ = echo;
}

void MouseEmulator::vanishAtTransfer(unsigned n) {
    std::lock_guard lock(mutex_);
    vanishCountdown_ = n;
}

void MouseEmulator::setTransferLatency(std::chrono::microseconds latency) {
    std::lock_guard lock(mutex_);
    latency_ = latency;
}

void MouseEmulator::setFaults(const EmulatorFaults& faults) {
    std::lock_guard lock(mutex_);
    faults_ = faults;
    answersTo_.fill(0);
    answerLost_ = false;
    stallCounting_ = faults_.stallAfter && handshakePassed_;
    answeredSinceHandshake_ = 0;
    stalled_ = false;
    changed_.notify_all();
}

void MouseEmulator::setInstantTimeouts(bool instant) {
    std::lock_guard lock(mutex_);
    instantTimeouts_ = instant;
    changed_.notify_all();
}

bool MouseEmulator::stalled() const {
    std::lock_guard lock(mutex_);
    return stalled_;
}

unsigned MouseEmulator::transferCount() const {
    std::lock_guard lock(mutex_);
    return transfers_;
}

unsigned MouseEmulator::rejectedPackets() const {
    std::lock_guard lock(mutex_);
    return rejected_;
}

template <typename Ready>
bool MouseEmulator::waitUntil(std::unique_lock<std::mutex>& lock, std::chrono::milliseconds timeout,
                              Ready ready) {
    if (instantTimeouts_) {
        return ready();
    }
    return changed_.wait_for(lock, timeout, ready);
}

void MouseEmulator::waitOutStall(std::unique_lock<std::mutex>& lock,
                                 std::chrono::milliseconds timeout) {
    // Only pulling the mouse out ends the wait early; the transfer fails either way.
    (void)waitUntil(lock, timeout, [this] { return !present_; });
}

bool MouseEmulator::takesReports(std::chrono::milliseconds timeout,
                                 std::unique_lock<std::mutex>& lock) {
    // A mouse that stops taking reports leaves the transfer pending until the host gives up.
    return waitUntil(lock, timeout, [this] { return !refusing_ || !present_; }) && present_;
}

void MouseEmulator::queueInput(const Chunk& chunk) {
    // The system keeps 32 reports per handle and drops the oldest when another arrives.
    if (chunksOut_.size() == kHostInputQueueLength) {
        chunksOut_.pop_front();
    }
    chunksOut_.push_back(chunk);
}

MouseEmulator::Transfer MouseEmulator::beginTransfer(std::unique_lock<std::mutex>& lock) {
    ++transfers_;
    if (!present_) {
        return Transfer::absent;
    }
    if (vanishCountdown_ > 0 && --vanishCountdown_ == 0) {
        vanish();
        return Transfer::absent;
    }
    if (stallCounting_ && !stalled_) {
        if (answeredSinceHandshake_ == *faults_.stallAfter) {
            stalled_ = true;
        } else {
            ++answeredSinceHandshake_;
        }
    }
    if (stalled_) {
        return Transfer::stalled;
    }
    if (latency_.count() > 0) {
        const auto latency = latency_;
        lock.unlock();
        preciseSleep(latency);
        lock.lock();
    }
    return present_ ? Transfer::proceed : Transfer::absent;
}

void MouseEmulator::vanish() {
    present_ = false;
    scrambling_ = false;
    handshakePassed_ = false;
    answer_.reset();
    chunksOut_.clear();
    pendingWrite_.reset();
    events_.clear();
    if (readPending_) {
        endEventRead(0);
    }
    changed_.notify_all();
}

bool MouseEmulator::takeFeature(std::span<const std::uint8_t> report) {
    // A new command: the firmware forgets an unfinished block write. Chunks it has sent stay in
    // the host's queue until they are read or flushed.
    pendingWrite_.reset();
    answer_.reset();
    answerLost_ = false;
    answerEndsHandshake_ = false;

    CommandPacket wire{};
    std::copy_n(report.begin() + 1, wire.size(), wire.begin());
    if (wire == kProbe) {
        scrambling_ = false;
        if (echoPlainProbe_) {
            answer_ = wire;
        } else {
            answer_ = packet(0x00);
        }
        noteAnswer(0x00);
        return true;
    }
    CommandPacket packet = wire;
    if (!echoPlainProbe_) {
        CommandPacket candidate = wire;
        candidate = firmware::unscrambled(candidate, keys_);
        if (candidate == kProbe) {
            scrambling_ = true;
            queueAnswer(kProbe);
            answerEndsHandshake_ = true;
            return true;
        }
        if (scrambling_) {
            packet = candidate;
        }
    }
    if (!firmware::checksumHolds(packet)) {
        ++rejected_;
        return true;
    }
    handlePacket(packet);
    return true;
}

void MouseEmulator::noteAnswer(std::uint8_t code) {
    const unsigned nth = ++answersTo_[code];
    answerLost_ = std::any_of(faults_.lostAnswers.begin(), faults_.lostAnswers.end(),
                              [&](const LostAnswer& l) { return l.code == code && l.nth == nth; });
}

bool MouseEmulator::ignoresWrites(std::uint8_t code) const {
    return std::find(faults_.ignoredWrites.begin(), faults_.ignoredWrites.end(), code) !=
           faults_.ignoredWrites.end();
}

void MouseEmulator::queueAnswer(const CommandPacket& answer) {
    noteAnswer(answer[0]);
    CommandPacket wire = answer;
    firmware::seal(wire);
    if (scrambling_) {
        wire = firmware::scrambled(wire, keys_);
    }
    answer_ = wire;
}

void MouseEmulator::handlePacket(const CommandPacket& p) {
    MouseState& s = state_;
    // A write the faults ignore is taken and forgotten; block writes still take their chunks.
    const bool keep = !ignoresWrites(p[0]);
    switch (p[0]) {
    case 0x03:
        if (!keep) {
            break;
        }
        s.sensorType = p[1];
        s.rate = p[2];
        s.option1 = p[3];
        s.option2 = p[4];
        break;
    case 0x83:
        queueAnswer(packet(0x83, {s.sensorType, s.rate, s.option1, s.option2}));
        break;
    case 0x07:
        if (keep && p[1] < s.ledParams.size()) {
            std::copy_n(p.begin() + 2, 3, s.ledParams[p[1]].begin());
        }
        break;
    case 0x87: {
        std::array<std::uint8_t, 3> set{};
        if (p[1] < s.ledParams.size()) {
            set = s.ledParams[p[1]];
        }
        queueAnswer(packet(0x87, {p[1], set[0], set[1], set[2]}));
        break;
    }
    case 0x0D:
        if (!keep) {
            break;
        }
        s.effect = p[1];
        s.effectOption1 = p[2];
        s.effectOption2 = p[3];
        break;
    case 0x8D:
        queueAnswer(packet(0x8D, {s.effect, s.effectOption1, s.effectOption2}));
        break;
    case 0x10:
    case 0x11:
    case 0x12:
    case 0x13:
        pendingWrite_ = PendingWrite{p[0], p[1], p[2], firmware::chunksFor(p[2]), {}, !keep};
        if (pendingWrite_->expected == 0) {
            commitBlockWrite();
        }
        break;
    case 0x90:
        queueBlockRead(0x90, p[1], s.configBlock(p[1]));
        break;
    case 0x93: {
        std::span<const std::uint8_t> slot;
        if (p[1] >= 1 && p[1] <= s.macroSlots.size()) {
            slot = s.macroSlots[p[1] - 1u];
        }
        queueBlockRead(0x93, p[1], slot);
        break;
    }
    default:
        break; // unknown commands are ignored, as is the plain probe's echo request
    }
}

void MouseEmulator::queueBlockRead(std::uint8_t code, std::uint8_t index,
                                   std::span<const std::uint8_t> data) {
    std::size_t length = data.size();
    if (announcedLength_ && announcedLength_->first == code) {
        length = announcedLength_->second;
        announcedLength_.reset();
    }
    queueAnswer(packet(code, {index, static_cast<std::uint8_t>(length)}));
    const std::size_t chunks = firmware::chunksFor(length);
    for (std::size_t c = 0; c < chunks; ++c) {
        Chunk chunk;
        for (std::size_t i = 0; i < chunk.bytes.size(); ++i) {
            const std::size_t at = c * chunk.bytes.size() + i;
            if (at < data.size()) {
                chunk.bytes[i] = data[at];
            } else if (at < length) {
                chunk.bytes[i] = 0xEE;
            }
        }
        chunk.stalled = stallChunk_ && *stallChunk_ == c;
        queueInput(chunk);
    }
    stallChunk_.reset();
}

bool MouseEmulator::giveFeature(std::span<std::uint8_t> report) {
    if (dropAnswers_ > 0 || (answer_ && answerLost_)) {
        dropAnswers_ -= dropAnswers_ > 0 ? 1 : 0;
        answer_.reset();
        answerLost_ = false;
        answerEndsHandshake_ = false;
        return false;
    }
    if (answer_ && answerEndsHandshake_) {
        // The host has the probe's echo: the handshake has passed.
        answerEndsHandshake_ = false;
        handshakePassed_ = true;
        if (faults_.stallAfter && !stallCounting_) {
            stallCounting_ = true;
            answeredSinceHandshake_ = 0;
        }
    }
    std::fill(report.begin(), report.end(), std::uint8_t{0});
    if (answer_) {
        std::copy(answer_->begin(), answer_->end(), report.begin() + 1);
    }
    return true;
}

bool MouseEmulator::takeChunk(std::span<const std::uint8_t> report) {
    if (!pendingWrite_) {
        return true; // nothing expects it; the firmware drops it
    }
    pendingWrite_->data.insert(pendingWrite_->data.end(), report.begin() + 1,
                               report.begin() + 1 + kChunkPayloadSize);
    if (pendingWrite_->data.size() >= pendingWrite_->expected * kChunkPayloadSize) {
        commitBlockWrite();
    }
    return true;
}

void MouseEmulator::commitBlockWrite() {
    const PendingWrite w = std::move(*pendingWrite_);
    pendingWrite_.reset();
    if (w.ignored) {
        return;
    }
    std::span<std::uint8_t> target;
    switch (w.code) {
    case 0x10:
        target = state_.configBlock(w.index);
        break;
    case 0x11:
        state_.dpiStageCount = w.index;
        target = state_.dpiStageCodes;
        break;
    case 0x12:
        if (w.index >= 1 && w.index <= state_.keyMatrices.size()) {
            target = state_.keyMatrices[w.index - 1u];
        }
        break;
    case 0x13:
        if (w.index >= 1 && w.index <= state_.macroSlots.size()) {
            target = state_.macroSlots[w.index - 1u];
        }
        break;
    default:
        break;
    }
    const std::size_t n = std::min({target.size(), std::size_t{w.length}, w.data.size()});
    std::copy_n(w.data.begin(), n, target.begin());
}

ReadResult MouseEmulator::giveChunk(std::span<std::uint8_t> report,
                                    std::chrono::milliseconds timeout,
                                    std::unique_lock<std::mutex>& lock) {
    const auto deliverable = [this] { return !chunksOut_.empty() && !chunksOut_.front().stalled; };
    if (!waitUntil(lock, timeout, [&] { return !present_ || deliverable(); })) {
        // The stalled chunk and those behind it arrive late, after the host gave up on them.
        for (Chunk& chunk : chunksOut_) {
            chunk.stalled = false;
        }
        return ReadResult::timedOut;
    }
    if (!present_) {
        return ReadResult::failed;
    }
    std::fill(report.begin(), report.end(), std::uint8_t{0});
    std::copy(chunksOut_.front().bytes.begin(), chunksOut_.front().bytes.end(), report.begin() + 1);
    chunksOut_.pop_front();
    return ReadResult::ok;
}

void MouseEmulator::completeEventRead() {
    const auto report = events_.front();
    events_.pop_front();
    std::copy(report.begin(), report.end(), readBuffer_.begin());
    endEventRead(report.size());
}

void MouseEmulator::endEventRead(std::size_t bytes) {
    readPending_ = false;
    readDone_ = true;
    readBytes_ = bytes;
    signalled_ = true;
    changed_.notify_all();
}

} // namespace qor
