#include "session/session.h"

#include "protocol/sequences.h"

namespace qor {

Session::Session(const SessionPorts& ports, const StringTable& strings, SessionFiles files)
    : ports_(ports), strings_(strings), files_(std::move(files)),
      link_(ports.command, ports.pacer, ports.events),
      discovery_(ports.enumerator, link_, ports.event, ports.messages,
                 std::u16string(kApplicationTitle)),
      commands_(link_, ports.pacer, image_) {
    link_.connected = false;
}

bool Session::start(const StartUpSteps& steps) {
    if (discovery_.openDevice()) {
        phase("handshake");
        link_.handshake();
    } else {
        ports_.messages.show(strings_.text(StringId::MouseNotDetected), kWarningCaption);
        link_.connected = false;
    }
    if (steps.afterOpen && !steps.afterOpen()) {
        return false;
    }
    loadConfig(ports_.files, ports_.messages, files_.config, state_);
    state_.takeSnapshot();
    strIni_ = readStrIni(ports_.ini, files_.strIni, strings_.strIniSection());
    if (steps.afterFiles) {
        steps.afterFiles();
    }
    return true;
}

void Session::firstBasicDrawing() {
    readBack();
    handleFirstRunKeyRows(state_.firstRunFlag, strIni_.rows, strings_, ports_.ini, files_.strIni);
}

void Session::readBack() {
    connectReadBack(commands_);
}

void Session::rereadKeyRows() {
    strIni_.rows = readStrIni(ports_.ini, files_.strIni, strings_.strIniSection()).rows;
}

bool Session::confirm() {
    ApplyPersistence persistence;
    persistence.saveSettings = [this](const SettingsRecord& record) {
        phase("save config.bin");
        saveConfig(ports_.files, ports_.messages, files_.config, record);
    };
    persistence.writeKeyRowTexts = [this] {
        phase("write str.ini");
        writeKeyRowTexts(ports_.ini, files_.strIni, strings_.strIniSection(), strIni_.rows);
    };
    if (connected()) {
        phase("apply");
    }
    if (!confirmSettings(link_, commands_, state_, persistence)) {
        return false;
    }
    if (ports_.pointer != nullptr) {
        phase("pointer options");
        applyPointerOptions(*ports_.pointer, ports_.messages, state_.working);
    }
    return true;
}

} // namespace qor
