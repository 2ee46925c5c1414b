#include "device/trace.h"

#include <algorithm>
#include <ostream>

namespace qor {

TraceLineSink traceToStream(std::ostream& out) {
    return [&out](std::string_view line) { out << line << '\n'; };
}

std::string hexBytes(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::uint8_t b : bytes) {
        if (!text.empty()) {
            text += ' ';
        }
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0F];
    }
    return text;
}

TracingCommandPort::TracingCommandPort(HidCommandPort& inner, TraceLineSink sink, ScrambleKeys keys)
    : inner_(inner), sink_(std::move(sink)), keys_(keys) {}

void TracingCommandPort::feature(std::string_view verb, std::span<const std::uint8_t> report,
                                 PacketCoding coding) {
    CommandPacket packet{};
    if (report.size() > 1) {
        std::copy_n(report.begin() + 1, std::min<std::size_t>(8, report.size() - 1),
                    packet.begin());
    }
    if (coding == PacketCoding::scrambled) {
        unscramble(packet, keys_);
    }
    sink_(std::string(verb) + ' ' + hexBytes(packet));
}

void TracingCommandPort::chunk(std::string_view verb, std::span<const std::uint8_t> report) {
    std::array<std::uint8_t, 32> payload{};
    if (report.size() > 1) {
        std::copy_n(report.begin() + 1, std::min<std::size_t>(32, report.size() - 1),
                    payload.begin());
    }
    sink_(std::string(verb) + ' ' + hexBytes(payload));
}

TransferResult TracingCommandPort::setFeature(std::span<const std::uint8_t> report,
                                              PacketCoding coding,
                                              std::chrono::milliseconds timeout) {
    feature("set_feature", report, coding);
    const TransferResult result = inner_.setFeature(report, coding, timeout);
    if (result == TransferResult::timedOut) {
        sink_("# set_feature timed out");
    }
    return result;
}

TransferResult TracingCommandPort::getFeature(std::span<std::uint8_t> report, PacketCoding coding,
                                              std::chrono::milliseconds timeout) {
    const TransferResult result = inner_.getFeature(report, coding, timeout);
    feature("get_feature", report, coding);
    if (result == TransferResult::timedOut) {
        sink_("# get_feature timed out");
    }
    return result;
}

TransferResult TracingCommandPort::writeReport(std::span<const std::uint8_t> report,
                                               std::chrono::milliseconds timeout) {
    chunk("write", report);
    const TransferResult result = inner_.writeReport(report, timeout);
    if (result == TransferResult::timedOut) {
        sink_("# write timed out");
    }
    return result;
}

ReadResult TracingCommandPort::readReport(std::span<std::uint8_t> report,
                                          std::chrono::milliseconds timeout) {
    const ReadResult result = inner_.readReport(report, timeout);
    if (result == ReadResult::timedOut) {
        sink_("# read timed out");
    } else {
        chunk("read", report);
    }
    return result;
}

void TracingCommandPort::flushInput() {
    sink_("flush");
    inner_.flushInput();
}

TracingPacer::TracingPacer(Pacer& inner, TraceLineSink sink)
    : inner_(inner), sink_(std::move(sink)) {}

void TracingPacer::pause(unsigned milliseconds) {
    sink_("sleep " + std::to_string(milliseconds));
    inner_.pause(milliseconds);
}

} // namespace qor
