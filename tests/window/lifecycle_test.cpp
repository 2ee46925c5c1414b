#include "window/lifecycle.h"

#include <gtest/gtest.h>

namespace {

using qor::TrayAction;
using qor::TrayState;

TEST(LifecycleTest, TrayNotifications) {
    struct Case {
        unsigned message;
        TrayState state;
        TrayAction action;
        bool redraw, drawBasic;
    };
    const Case cases[] = {
        // left click and double click while the mouse is absent: the not-detected notice only
        {0x202, {false, false, false}, TrayAction::ReportNotDetected, false, false},
        {0x203, {false, true, true}, TrayAction::ReportNotDetected, false, false},
        // connected: first show draws the Basic page, later shows just show
        {0x202, {true, false, false}, TrayAction::Show, false, true},
        {0x202, {true, false, true}, TrayAction::Show, false, false},
        {0x203, {true, false, true}, TrayAction::Show, false, false},
        // after Cancel the page is redrawn from the restored record, not first-drawn
        {0x202, {true, true, true}, TrayAction::Show, true, false},
        {0x202, {true, true, false}, TrayAction::Show, true, false},
        // right button up opens the menu whatever the state
        {0x205, {false, false, false}, TrayAction::ShowMenu, false, false},
        {0x205, {true, true, true}, TrayAction::ShowMenu, false, false},
        // everything else is ignored: moves, presses, right double click, balloon messages
        {0x200, {true, false, false}, TrayAction::Ignore, false, false},
        {0x201, {true, false, false}, TrayAction::Ignore, false, false},
        {0x204, {true, false, false}, TrayAction::Ignore, false, false},
        {0x206, {true, false, false}, TrayAction::Ignore, false, false},
        {0x402, {true, false, false}, TrayAction::Ignore, false, false},
    };
    for (const auto& c : cases) {
        const auto d = qor::decideTrayNotification(c.message, c.state);
        SCOPED_TRACE(::testing::Message()
                     << std::hex << c.message << " connected " << c.state.connected << " redraw "
                     << c.state.redrawOnNextShow << " drawn " << c.state.basicPageDrawn);
        EXPECT_EQ(d.action, c.action);
        EXPECT_EQ(d.redrawCurrentPage, c.redraw);
        EXPECT_EQ(d.drawBasicPage, c.drawBasic);
    }
}

TEST(LifecycleTest, FirstTwoNonClientPaintsHideTheWindow) {
    qor::NonClientPaintGate gate;
    EXPECT_TRUE(gate.hideInsteadOfPaint());
    EXPECT_TRUE(gate.hideInsteadOfPaint());
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(gate.hideInsteadOfPaint());
    }
    EXPECT_EQ(gate.remaining(), 0);
}

TEST(LifecycleTest, TheTrayIconIsTriedEveryHalfSecondForAMinute) {
    EXPECT_EQ(qor::TrayRetry::kIntervalMs, 500u);
    qor::TrayRetry retry;
    EXPECT_FALSE(retry.tryAgain(true)) << "added at once";
    int attempts = 0;
    while (++attempts < 1000 && retry.tryAgain(false)) {
    }
    EXPECT_EQ(attempts, 120) << "the start's attempt and 119 more";
    EXPECT_FALSE(retry.tryAgain(false)) << "given up";
    // A taskbar created anew starts the count again; a success ends the attempts.
    retry.taskbarCreated();
    for (int i = 1; i < 50; ++i) {
        EXPECT_TRUE(retry.tryAgain(false)) << i;
    }
    EXPECT_FALSE(retry.tryAgain(true));
    retry.taskbarCreated();
    attempts = 0;
    while (++attempts < 1000 && retry.tryAgain(false)) {
    }
    EXPECT_EQ(attempts, 120);
}

} // namespace
