// "Start with Windows" over an in-memory registry: what the menu shows for the values found,
// and what ticking and clearing the item leave behind.
#include "window/startup_entry.h"

#include <gtest/gtest.h>

namespace {

using namespace qor;
using Bytes = std::vector<std::uint8_t>;

struct MemoryRegistry final : StartupRegistry {
    std::optional<std::u16string> run;
    std::optional<Bytes> mark;
    bool failWrites = false;

    std::optional<std::u16string> runCommand() const override { return run; }
    bool setRunCommand(std::u16string_view command) override {
        if (!failWrites) {
            run = std::u16string(command);
        }
        return !failWrites;
    }
    bool removeRunCommand() override {
        run.reset();
        return true;
    }
    std::optional<Bytes> approval() const override { return mark; }
    bool setApproval(std::span<const std::uint8_t> bytes) override {
        mark = Bytes(bytes.begin(), bytes.end());
        return true;
    }
    bool removeApproval() override {
        mark.reset();
        return true;
    }
};

const std::u16string kExe = u"C:\\Users\\Ann\\AppData\\Local\\Programs\\Qor\\Qor.exe";
const Bytes kEnabled = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const Bytes kEnabled6 = {6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
// As Task Manager leaves it: 03, then the time the entry was turned off.
const Bytes kDisabled = {3, 0, 0, 0, 0xd4, 0x0d, 0x43, 0x8d, 0xc8, 0x3b, 0xd9, 0x01};
const Bytes kDisabled7 = {7, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8};

TEST(StartupEntry, WhatTheMenuShows) {
    const struct {
        std::optional<std::u16string> run;
        std::optional<Bytes> mark;
        bool checked;
    } cases[] = {
        {std::nullopt, std::nullopt, false},
        {std::nullopt, kEnabled, false}, // a mark alone starts nothing
        {u"\"" + kExe + u"\"", std::nullopt, true},
        {u"\"" + kExe + u"\"", kEnabled, true},
        {u"\"" + kExe + u"\"", kEnabled6, true},
        {u"\"" + kExe + u"\"", Bytes{}, true},
        {u"\"" + kExe + u"\"", kDisabled, false}, // turned off in Task Manager
        {u"\"" + kExe + u"\"", kDisabled7, false},
        // the same program, spelled by hand or by another tool
        {kExe, std::nullopt, true},
        {u"\"C:\\USERS\\ANN\\APPDATA\\LOCAL\\PROGRAMS\\QOR\\QOR.EXE\" /tray", std::nullopt, true},
        // another copy of the program (a portable folder) is not this one
        {u"\"D:\\Tools\\Qor\\Qor.exe\"", std::nullopt, false},
        {u"\"" + kExe, std::nullopt, true}, // an unclosed quote: the rest is the path
        {u"", std::nullopt, false},
    };
    for (const auto& c : cases) {
        MemoryRegistry registry;
        registry.run = c.run;
        registry.mark = c.mark;
        EXPECT_EQ(startsWithWindows(registry, kExe), c.checked)
            << (c.run ? std::string(c.run->begin(), c.run->end()) : "(none)");
    }
}

TEST(StartupEntry, TickingAndClearingTheItem) {
    const std::u16string quoted = u"\"" + kExe + u"\"";
    const struct {
        const char* what;
        std::optional<std::u16string> run;
        std::optional<Bytes> mark;
        bool on;
        std::optional<std::u16string> runAfter;
        std::optional<Bytes> markAfter;
    } cases[] = {
        {"on from nothing", std::nullopt, std::nullopt, true, quoted, std::nullopt},
        {"on over another copy", u"\"D:\\Qor\\Qor.exe\"", std::nullopt, true, quoted, std::nullopt},
        {"re-enabled after Task Manager", quoted, kDisabled, true, quoted, kEnabled},
        {"on keeps an enabling mark", std::nullopt, kEnabled6, true, quoted, kEnabled6},
        {"off", quoted, std::nullopt, false, std::nullopt, std::nullopt},
        {"off drops the mark too", quoted, kDisabled, false, std::nullopt, std::nullopt},
        {"off when absent", std::nullopt, std::nullopt, false, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        MemoryRegistry registry;
        registry.run = c.run;
        registry.mark = c.mark;
        EXPECT_TRUE(setStartWithWindows(registry, kExe, c.on)) << c.what;
        EXPECT_EQ(registry.run, c.runAfter) << c.what;
        EXPECT_EQ(registry.mark, c.markAfter) << c.what;
        EXPECT_EQ(startsWithWindows(registry, kExe), c.on) << c.what;
    }
}

TEST(StartupEntry, AFailedWriteIsReported) {
    MemoryRegistry registry;
    registry.failWrites = true;
    EXPECT_FALSE(setStartWithWindows(registry, kExe, true));
    EXPECT_FALSE(startsWithWindows(registry, kExe));
}

} // namespace
