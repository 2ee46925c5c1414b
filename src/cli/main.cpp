// qorctl: the program's core on the command line, against the mouse emulator or, on Linux, the
// real mouse.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#if defined(__linux__)
#include <sys/prctl.h>
#endif

#include "base/text_utf8.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/macros_command.h"
#include "cli/profile_command.h"
#include "cli/show_command.h"
#include "emulator/emulator_faults.h"

namespace {

using namespace qor;
using namespace qor::cli;

const char* const kMainHelp =
    "usage: qorctl COMMAND [options]\n"
    "Commands:\n"
    "  apply              what OK does: open, handshake, read-back, the apply sequence,\n"
    "                     config.bin and str.ini written (--emulate: the emulated mouse)\n"
    "  events             the mouse's event reports as the window's balloons, until\n"
    "                     interrupted (--emulate REPORT...: reports of the emulated mouse)\n"
    "  show               the settings of config.bin in readable form, and what the mouse\n"
    "                     answers to the read commands\n"
    "  macros             the macro slots built from record.ini\n"
    "  export FILE        config.bin and record.ini as a readable, editable profile\n"
    "  import FILE        a profile written back into config.bin and record.ini\n"
    "  profile list|save NAME|use NAME|delete NAME\n"
    "                     the profiles of DIR/Profiles; use applies one\n"
    "Without --emulate the real mouse is used (Linux, through /dev/hidraw*).\n"
    "'qorctl COMMAND --help' describes a command.\n";

const char* const kApplyHelp =
    "usage: qorctl apply [--emulate [--no-pause] [--transfer-latency MS] [faults]] [options]\n"
    "  Starts as the program does (open the mouse, handshake, load config.bin, read str.ini,\n"
    "  connect read-back), then runs OK: the apply sequence, config.bin saved, the key-row\n"
    "  texts written to str.ini. Exit status 0 when the mouse was detected, 1 when it was not\n"
    "  (then nothing but the handshake is sent) or went away during the apply.\n"
    "  --emulate              the emulated mouse instead of the real one; with it:\n"
    "  --no-pause             record the pauses in the trace without sleeping; a transfer\n"
    "                         the emulated mouse leaves unanswered times out at once\n"
    "  --transfer-latency MS  every emulated transfer takes MS milliseconds\n"
    "  --unplugged            no mouse: opening the device fails\n"
    "  --old-firmware         the mouse answers the plain probe: the handshake fails\n"
    "  --stall-after N        the mouse answers N transfers after the handshake (a transfer\n"
    "                         is a feature or chunk line of the trace), then none: every\n"
    "                         later transfer times out\n"
    "  --lose-answer HH[:K]   the K-th answer (default the first) to command HH (hex) is\n"
    "                         lost: its feature read fails (repeatable)\n"
    "  --ignore-writes HH     writes of command HH (hex) are taken but change nothing in the\n"
    "                         mouse (repeatable)\n"
    "  --timing               print the wall time of start-up, the device traffic of the\n"
    "                         apply and the file writes to standard error\n";

const char* const kEventsHelp =
    "usage: qorctl events [options]\n"
    "       qorctl events --emulate [options] REPORT...\n"
    "  After open, handshake and connect read-back, waits for the mouse's event reports until\n"
    "  interrupted; the mouse pulled out and plugged in again is followed as the window does.\n"
    "  With --emulate the emulated mouse sends each REPORT (hex, e.g. 06070002) instead.\n"
    "  Every balloon the window would show, the detection balloons included, is printed as\n"
    "  'title<TAB>text<TAB>timeout', in order.\n"
    "  Exit status 0 when the mouse was detected, 1 when it was not.\n"
    "  --unplugged, --old-firmware as for apply (with --emulate).\n";

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

// Options of the session commands; the rest stays in `args`. The emulated mouse's faults are
// taken where `faults` is given.
std::optional<std::string> takeSessionOptions(std::vector<std::string>& args, SessionOptions& s,
                                              bool& emulate, bool withTiming,
                                              bool* timing = nullptr,
                                              EmulatorFaults* faults = nullptr) {
    std::vector<std::string> rest;
    bool emulatorOnly = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--emulate") {
            emulate = true;
        } else if (arg == "--unplugged") {
            s.unplugged = emulatorOnly = true;
        } else if (arg == "--old-firmware") {
            s.oldFirmware = emulatorOnly = true;
        } else if (faults != nullptr &&
                   (arg == "--stall-after" || arg == "--lose-answer" || arg == "--ignore-writes")) {
            if (i + 1 >= args.size()) {
                return arg + " needs a value";
            }
            if (auto why = addEmulatorFault(arg.substr(2), args[++i], *faults)) {
                return arg + " " + args[i] + ": " + *why;
            }
            emulatorOnly = true;
        } else if (timing != nullptr && arg == "--timing") {
            *timing = true;
        } else if (withTiming && arg == "--no-pause") {
            s.realPauses = false;
            emulatorOnly = true;
        } else if (withTiming && arg == "--transfer-latency") {
            if (i + 1 >= args.size()) {
                return "--transfer-latency needs a value";
            }
            const auto ms = parseNumber(args[++i], 0, 10000);
            if (!ms) {
                return "--transfer-latency takes milliseconds (0..10000), not '" + args[i] + "'";
            }
            s.transferLatency = std::chrono::milliseconds(*ms);
            emulatorOnly = true;
        } else {
            rest.push_back(arg);
        }
    }
    if (emulatorOnly && !emulate) {
        return "--unplugged, --old-firmware, --no-pause, --transfer-latency and the faults need "
               "--emulate";
    }
    if (!emulate && s.common.sensorType) {
        return "--sensor-type sets the emulated mouse's sensor: it needs --emulate";
    }
    args = std::move(rest);
    return std::nullopt;
}

// The backend of apply's options: the emulated mouse with its faults, or the real one.
std::unique_ptr<CliBackend> faultyBackend(const char* command, bool emulate,
                                          const SessionOptions& s, const EmulatorFaults& faults) {
    auto backend = makeBackend(command, emulate, s);
    if (backend && emulate) {
        auto& mouse = static_cast<EmulatorBackend&>(*backend).mouse();
        mouse.setFaults(faults);
        mouse.setInstantTimeouts(!s.realPauses);
    }
    return backend;
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
    EmulatorFaults faults;
    if (auto error = takeSessionOptions(args, s, emulate, true, &timing, &faults)) {
        return usageError("apply", *error);
    }
    if (!args.empty()) {
        return usageError("apply", "unexpected argument '" + args.front() + "'");
    }
    const auto backend = faultyBackend("apply", emulate, s, faults);
    if (!backend) {
        return 2;
    }
    CliSession session(s, *backend);
    if (!session.traceOpen()) {
        return usageError("apply", "cannot write the trace file " + *common.trace);
    }
    const bool connected = session.start();
    if (!connected) {
        explainNoMouse("apply", *backend);
        return 1;
    }
    const bool complete = session.confirm();
    if (timing) {
        const auto& t = session.timing();
        std::fprintf(stderr, "timing: start %lld us, apply device traffic %lld us, files %lld us\n",
                     t.start, t.device, t.files);
    }
    if (backend->takeRemoval()) {
        std::fprintf(stderr, "qorctl apply: the mouse went away during the apply; config.bin was "
                             "saved, the mouse may hold only part of it. Run apply again.\n");
        return 1;
    }
    return complete ? 0 : 1;
}

// qorctl profile use NAME: what choosing a profile from the tray does, against the mouse of
// apply's options.
int runProfileUse(const CommonOptions& common, std::vector<std::string> args) {
    SessionOptions s;
    s.common = common;
    bool emulate = false;
    EmulatorFaults faults;
    if (auto error = takeSessionOptions(args, s, emulate, true, nullptr, &faults)) {
        return usageError("profile use", *error);
    }
    if (args.size() != 2) {
        return usageError("profile use", "takes one NAME");
    }
    const auto backend = faultyBackend("profile use", emulate, s, faults);
    if (!backend) {
        return 2;
    }
    CliSession session(s, *backend);
    if (!session.traceOpen()) {
        return usageError("profile use", "cannot write the trace file " + *common.trace);
    }
    if (!session.start()) {
        explainNoMouse("profile use", *backend);
    }
    const ProfileUseResult used =
        session.session().profiles().use(utf8ToUtf16(args[1]), ProfileCause::hand);
    if (used.outcome != ProfileUseResult::Outcome::refused) {
        std::printf("%s\n", utf16ToUtf8(used.text).c_str());
    }
    return used.outcome == ProfileUseResult::Outcome::applied ? 0 : 1;
}

std::atomic<bool> interrupted{false};

extern "C" void onInterrupt(int) {
    interrupted = true;
}

// The real mouse's events until interrupted. A removal seen by the ports runs the window's
// handling of a removal notification. Linux sends qorctl no notification of an arrival: the
// mouse appearing in sysfs stands for one, a second later, once udev has set the node's access.
int watchEvents(CliSession& session, CliBackend& backend) {
    using Clock = std::chrono::steady_clock;
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    session.listen([&] {
        bool listed = true;
        bool arrivalRun = true;
        auto listedSince = Clock::now();
        unsigned tick = 0;
        while (!interrupted) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (backend.takeRemoval()) {
                session.deviceChanged(false);
            }
            // sysfs is looked through twice a second, not at every tick.
            if (session.session().connected() || ++tick % 5 != 0) {
                continue;
            }
            const bool now = backend.mouseListed();
            if (now && !listed) {
                listedSince = Clock::now();
                arrivalRun = false;
            }
            listed = now;
            if (listed && !arrivalRun && Clock::now() - listedSince >= std::chrono::seconds(1)) {
                arrivalRun = true;
                session.deviceChanged(true);
            }
        }
    });
    return 0;
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
    if (!emulate && !args.empty()) {
        return usageError("events", "reports to send need the emulated mouse: add --emulate");
    }
    s.realPauses = !emulate;
    std::vector<std::vector<std::uint8_t>> reports;
    for (const auto& arg : args) {
        const auto report = parseReport(arg);
        if (!report) {
            return usageError("events", "'" + arg + "' is not a report in hex (at most " +
                                            std::to_string(kEventReportBufferSize) + " bytes)");
        }
        reports.push_back(*report);
    }
    const auto backend = makeBackend("events", emulate, s);
    if (!backend) {
        return 2;
    }
    CliSession session(s, *backend);
    if (!session.traceOpen()) {
        return usageError("events", "cannot write the trace file " + *common.trace);
    }
    session.onBalloon = printBalloon;
    if (!session.start()) {
        explainNoMouse("events", *backend);
        return 1;
    }
    if (!emulate) {
        if (!backend->eventPort().isOpen()) {
            std::fprintf(stderr, "qorctl events: the mouse's event collection (usage page "
                                 "0xFF01) was not found or could not be opened\n");
            return 1;
        }
        return watchEvents(session, *backend);
    }
    // The listener sees each report as the event collection delivers it: cut or padded to its
    // length. Only those that carry an event reach the window.
    unsigned expected = session.eventsDelivered();
    for (const auto& report : reports) {
        std::vector<std::uint8_t> seen(report);
        seen.resize(kEmulatedEventLength, 0);
        expected += decodeEventReport(seen) ? 1 : 0;
    }
    auto& mouse = static_cast<EmulatorBackend&>(*backend).mouse();
    bool all = false;
    session.listen([&] {
        for (const auto& report : reports) {
            mouse.emitEvent(report);
        }
        all = session.waitForEvents(expected, std::chrono::seconds(10));
    });
    if (!all) {
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
    if (command == "profile") {
        if (!common.help && !args.empty() && args.front() == "use") {
            return runProfileUse(common, std::move(args));
        }
        return runProfileFilesCommand(common, args);
    }
    if (command == "export" || command == "import") {
        return runProfileCommand(command, common, args);
    }
    std::fprintf(stderr, "qorctl: unknown command '%s'\n", command.c_str());
    std::fputs(kMainHelp, stderr);
    return 2;
}
