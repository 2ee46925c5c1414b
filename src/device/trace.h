// A decorator around the command port and the pacer that writes one line per transfer or
// pause, so that a whole sequence can be read, diffed and compared with a golden trace:
//   set_feature 83 00 00 00 00 00 00 7c    (the packet as meant: before scrambling)
//   get_feature 83 01 01 00 40 00 00 3a    (after unscrambling)
//   write 01 02 ...                        (the 32 chunk payload bytes)
//   read 00 00 ...
//   flush                                  (queued input reports dropped)
//   sleep 2
#pragma once
#include "device/hid_ports.h"
#include "device/pacer.h"
#include "device/scramble.h"

#include <functional>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

namespace qor {

using TraceLineSink = std::function<void(std::string_view line)>;

// A sink that writes each line and a line break to `out`.
TraceLineSink traceToStream(std::ostream& out);

// "xx xx ..." in lower-case hex.
std::string hexBytes(std::span<const std::uint8_t> bytes);

class TracingCommandPort final : public HidCommandPort {
public:
    TracingCommandPort(HidCommandPort& inner, TraceLineSink sink,
                       ScrambleKeys keys = firmwareScrambleKeys());
    TransferResult setFeature(std::span<const std::uint8_t> report, PacketCoding coding,
                              std::chrono::milliseconds timeout) override;
    TransferResult getFeature(std::span<std::uint8_t> report, PacketCoding coding,
                              std::chrono::milliseconds timeout) override;
    TransferResult writeReport(std::span<const std::uint8_t> report,
                               std::chrono::milliseconds timeout) override;
    ReadResult readReport(std::span<std::uint8_t> report,
                          std::chrono::milliseconds timeout) override;
    void flushInput() override;

private:
    void feature(std::string_view verb, std::span<const std::uint8_t> report, PacketCoding coding);
    void chunk(std::string_view verb, std::span<const std::uint8_t> report);

    HidCommandPort& inner_;
    TraceLineSink sink_;
    ScrambleKeys keys_;
};

class TracingPacer final : public Pacer {
public:
    TracingPacer(Pacer& inner, TraceLineSink sink);
    void pause(unsigned milliseconds) override;

private:
    Pacer& inner_;
    TraceLineSink sink_;
};

// A pacer that does not wait (for tests and the command-line tool under the emulator).
class NullPacer final : public Pacer {
public:
    void pause(unsigned) override {}
};

} // namespace qor
