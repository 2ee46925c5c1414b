// qorctl: the program's core on the command line, against the mouse emulator.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#if defined(__linux__)
#include <sys/prctl.h>
#endif

#include "app/text_utf8.h"
#include "cli_options.h"
#include "emulated_session.h"
#include "macros_command.h"
#include "show_command.h"

namespace {

using namespace qor;
using namespace qor::cli;

const char* const kMainHelp =
    "usage: qorctl COMMAND [options]\n"
    "Commands:\n"
    "  apply --emulate    what OK does with the mouse present: open, handshake, read-back,\n"
    "                     the apply sequence, config.bin and str.ini written\n"
    "  events --emulate REPORT...\n"
    "                     event reports sent by the mouse, shown as the window's balloons\n"
    "  show               the settings of config.bin in readable form\n"
    "  macros             the macro images built from record.ini\n"
    "'qorctl COMMAND --help' describes a command.\n";

const char* const kApplyHelp =
    "usage: qorctl apply --emulate [--no-pause] [--transfer-latency MS] [options]\n"
    "  Starts as the program does (open the mouse, handshake, load config.bin, read str.ini,\n"
    "  connect read-back), then runs OK: the apply sequence, config.bin saved, the key-row\n"
    "  texts written to str.ini. Exit status 0 when the mouse was detected, 1 when it was not\n"
    "  (then nothing but the handshake is sent).\n"
    "  --no-pause             record the pauses in the trace without sleeping\n"
    "  --transfer-latency MS  every emulated transfer takes MS milliseconds\n"
    "  --unplugged            no mouse: opening the device fails\n"
    "  --old-firmware         the mouse answers the plain probe: the handshake fails\n"
    "  --timing               print the wall time of start-up, the device traffic of the\n"
    "                         apply and the file writes to standard error\n";

const char* const kEventsHelp =
    "usage: qorctl events --emulate [options] REPORT...\n"
    "  After open, handshake and connect read-back, the emulated mouse sends each REPORT (hex,\n"
    "  e.g. 06070002) on its event collection. Every balloon the window would show, the\n"
    "  detection balloon included, is printed as 'title<TAB>text<TAB>timeout', in order.\n"
    "  Exit status 0 when the mouse was detected, 1 when it was not.\n"
    "  --unplugged, --old-firmware as for apply.\n";

int usageError(const std::string& command, const std::string& text) {
    std::fprintf(stderr, "qorctl %s: %s\n", command.c_str(), text.c_str());
    return 2;
}

void printBalloon(const Balloon& b) {
    std::printf("%s\t%s\t%u\n", utf16ToUtf8(b.title).c_str(), utf16ToUtf8(b.text).c_str(),
                b.timeoutMs);
    std::fflush(stdout);
}

std::optional<std::vector<std::uint8_t>> parseReport(const std::string& text) {
    if (text.empty() || text.size() % 2 != 0 || text.size() > 2 * kEventReportBufferSize) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        unsigned value = 0;
        for (char c : text.substr(i, 2)) {
            const char* digits = "0123456789abcdef";
            const char lower = static_cast<char>(c >= 'A' && c <= 'F' ? c - 'A' + 'a' : c);
            const char* at = std::strchr(digits, lower);
            if (lower == '\0' || at == nullptr) {
                return std::nullopt;
            }
            value = value * 16 + static_cast<unsigned>(at - digits);
        }
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

// Options of the emulated commands; the rest stays in `args`.
std::optional<std::string> takeSessionOptions(std::vector<std::string>& args, SessionOptions& s,
                                              bool& emulate, bool withTiming,
                                              bool* timing = nullptr) {
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--emulate") {
            emulate = true;
        } else if (arg == "--unplugged") {
            s.unplugged = true;
        } else if (arg == "--old-firmware") {
            s.oldFirmware = true;
        } else if (timing != nullptr && arg == "--timing") {
            *timing = true;
        } else if (withTiming && arg == "--no-pause") {
            s.realPauses = false;
        } else if (withTiming && arg == "--transfer-latency") {
            if (i + 1 >= args.size()) {
                return "--transfer-latency needs a value";
            }
            const auto ms = parseNumber(args[++i], 0, 10000);
            if (!ms) {
                return "--transfer-latency takes milliseconds (0..10000), not '" + args[i] + "'";
            }
            s.transferLatency = std::chrono::milliseconds(*ms);
        } else {
            rest.push_back(arg);
        }
    }
    args = std::move(rest);
    return std::nullopt;
}

int runApply(const CommonOptions& common, std::vector<std::string> args) {
    if (common.help) {
        std::fputs(kApplyHelp, stdout);
        std::fputs(kCommonHelp, stdout);
        return 0;
    }
    SessionOptions s;
    s.common = common;
    bool emulate = false;
    bool timing = false;
    if (auto error = takeSessionOptions(args, s, emulate, true, &timing)) {
        return usageError("apply", *error);
    }
    if (!args.empty()) {
        return usageError("apply", "unexpected argument '" + args.front() + "'");
    }
    if (!emulate) {
        return usageError("apply", "only the emulated mouse is supported yet: add --emulate");
    }
    EmulatedSession session(s);
    if (!session.traceOpen()) {
        return usageError("apply", "cannot write the trace file " + *common.trace);
    }
    const bool connected = session.start();
    session.confirm(); // does nothing when the mouse is not connected
    if (timing) {
        const auto& t = session.timing();
        std::fprintf(stderr, "timing: start %lld us, apply device traffic %lld us, files %lld us\n",
                     t.start, t.device, t.files);
    }
    return connected ? 0 : 1;
}

int runEvents(const CommonOptions& common, std::vector<std::string> args) {
    if (common.help) {
        std::fputs(kEventsHelp, stdout);
        std::fputs(kCommonHelp, stdout);
        return 0;
    }
    SessionOptions s;
    s.common = common;
    s.realPauses = false;
    bool emulate = false;
    if (auto error = takeSessionOptions(args, s, emulate, false)) {
        return usageError("events", *error);
    }
    if (!emulate) {
        return usageError("events", "only the emulated mouse is supported yet: add --emulate");
    }
    std::vector<std::vector<std::uint8_t>> reports;
    for (const auto& arg : args) {
        const auto report = parseReport(arg);
        if (!report) {
            return usageError("events", "'" + arg + "' is not a report in hex (at most " +
                                            std::to_string(kEventReportBufferSize) + " bytes)");
        }
        reports.push_back(*report);
    }
    EmulatedSession session(s);
    if (!session.traceOpen()) {
        return usageError("events", "cannot write the trace file " + *common.trace);
    }
    session.onBalloon = printBalloon;
    if (!session.start()) {
        return 1;
    }
    if (!session.deliverReports(reports)) {
        std::fprintf(stderr, "qorctl events: the listener did not handle every report\n");
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
#if defined(__linux__)
    // Pauses of a few milliseconds should not be stretched by the default 50 us timer slack.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
    if (argc < 2) {
        std::fputs(kMainHelp, stderr);
        return 2;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kMainHelp, stdout);
        return 0;
    }
    if (command == "macros") {
        return runMacrosCommand(argc - 2, argv + 2);
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    CommonOptions common;
    if (auto error = takeCommonOptions(args, common)) {
        return usageError(command, *error);
    }
    if (command == "apply") {
        return runApply(common, std::move(args));
    }
    if (command == "events") {
        return runEvents(common, std::move(args));
    }
    if (command == "show") {
        return runShowCommand(common, args);
    }
    std::fprintf(stderr, "qorctl: unknown command '%s'\n", command.c_str());
    std::fputs(kMainHelp, stderr);
    return 2;
}
