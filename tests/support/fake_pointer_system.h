// The system's pointer options in memory, for tests of whatever reads or writes them.
#pragma once
#include "base/message_sink.h"
#include "pointer/pointer_options.h"

#include <string>
#include <vector>

namespace qor::test {

// The boxes the pointer options show, as "caption: text".
class Messages : public MessageSink {
public:
    void show(std::u16string_view text, std::u16string_view caption) override {
        shown.push_back(std::u16string(caption) + u": " + std::u16string(text));
    }
    std::vector<std::u16string> shown;
};

// The system's values in memory; every call is logged, chosen calls fail.
class FakePointerSystem : public PointerSystem {
public:
    MouseParams mouse{6, 10, 1};
    int speed = 10;
    int lines = 3;
    unsigned doubleClick = 500;
    bool failGetMouse = false, failGetSpeed = false, failGetLines = false;
    bool failSetMouse = false, failSetSpeed = false, failSetLines = false, failSetTime = false;
    std::vector<std::string> calls;

    // The writes among the calls.
    std::vector<std::string> writes() const {
        std::vector<std::string> out;
        for (const auto& c : calls) {
            if (c.starts_with("set")) {
                out.push_back(c);
            }
        }
        return out;
    }

    bool getMouse(MouseParams& p) override {
        calls.push_back("getMouse");
        if (failGetMouse) {
            return false;
        }
        p = mouse;
        return true;
    }
    bool setMouse(const MouseParams& p) override {
        calls.push_back("setMouse " + std::to_string(p[0]) + "," + std::to_string(p[1]) + "," +
                        std::to_string(p[2]));
        if (failSetMouse) {
            return false;
        }
        mouse = p;
        return true;
    }
    bool getMouseSpeed(int& s) override {
        calls.push_back("getMouseSpeed");
        if (failGetSpeed) {
            s = 99; // whatever the system left there must not count
            return false;
        }
        s = speed;
        return true;
    }
    bool setMouseSpeed(int s) override {
        calls.push_back("setMouseSpeed " + std::to_string(s));
        if (failSetSpeed) {
            return false;
        }
        speed = s;
        return true;
    }
    bool getWheelScrollLines(int& l) override {
        calls.push_back("getWheelScrollLines");
        if (failGetLines) {
            l = 99;
            return false;
        }
        l = lines;
        return true;
    }
    bool setWheelScrollLines(int l) override {
        calls.push_back("setWheelScrollLines " + std::to_string(l));
        if (failSetLines) {
            return false;
        }
        lines = l;
        return true;
    }
    unsigned getDoubleClickTime() override {
        calls.push_back("getDoubleClickTime");
        return doubleClick;
    }
    bool setDoubleClickTime(unsigned ms) override {
        calls.push_back("setDoubleClickTime " + std::to_string(ms));
        if (failSetTime) {
            return false;
        }
        doubleClick = ms;
        return true;
    }
};

} // namespace qor::test
