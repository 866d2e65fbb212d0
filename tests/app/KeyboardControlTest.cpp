// SPDX-License-Identifier: GPL-3.0-or-later
// The running program as scripts drive it, without a bus: each call runs the
// window's command, refusals change nothing, and calls are answered in order
// once their exchange has ended.
#include <gtest/gtest.h>

#include <optional>

#include "app/KeyboardControl.h"
#include "base/UiDispatcher.h"
#include "storage/TextFile.h"
#include "tests/app/AppTestSupport.h"

namespace lumbra::test {
namespace {

struct ControlRig : MainWindowRig {
    bool modal = false;
    std::unique_ptr<KeyboardControl> control;
    std::vector<ControlState> changes;

    void StartControl() {
        Start();
        control = std::make_unique<KeyboardControl>(KeyboardControl::Host{
            &dlg->Commands(), &model, [this] { return modal; },
            [](std::function<void()> task) { TheUiDispatcher().Post(std::move(task)); }});
        control->SetStateListener(
            [this](const ControlState&, const ControlState& now) { changes.push_back(now); });
        dlg->Commands().SetStateListener([this] { control->NoteChanged(); });
        log.Clear();
    }
    ~ControlRig() {
        if (dlg) dlg->Commands().SetStateListener(nullptr);
        control.reset();
    }
    // Queues a call; its answer once it came.
    std::shared_ptr<std::optional<ControlReply>> Queue(ControlMethod m, ControlArgument a = {}) {
        auto reply = std::make_shared<std::optional<ControlReply>>();
        control->Call(m, std::move(a), [reply](const ControlReply& r) {
            ASSERT_FALSE(reply->has_value()) << "answered twice";
            *reply = r;
        });
        return reply;
    }
    ControlReply Run(ControlMethod m, ControlArgument a = {}) {
        auto reply = Queue(m, std::move(a));
        for (int i = 0; i < 40 && !reply->has_value(); ++i) {
            Idle();
            Application::ProcessEventsFor(2);
        }
        EXPECT_TRUE(reply->has_value());
        return reply->value_or(ControlReply{ControlError::kFailed, "no answer"});
    }
};

TEST(KeyboardControl, RefusedCallsChangeNothingAndSendNothing) {
    ControlRig rig;
    rig.StartControl();
    const std::string text = "[Other]\r\nKey=1\r\n";
    ASSERT_TRUE(WriteFileAtomically(rig.dir.path + "notes.psf", text));
    const struct {
        ControlMethod method;
        ControlArgument argument;
        ControlError error;
        bool modal = false;
    } cases[] = {
        {ControlMethod::kSelectProfile, 0, ControlError::kInvalidArgument},
        {ControlMethod::kSelectProfile, 6, ControlError::kInvalidArgument},
        {ControlMethod::kSetLightingMode, 8, ControlError::kInvalidArgument},
        {ControlMethod::kSetLightingBrightness, 3, ControlError::kInvalidArgument},
        {ControlMethod::kLoadProfile, std::string("notes.psf"), ControlError::kInvalidArgument},
        {ControlMethod::kLoadProfile, rig.dir.path, ControlError::kInvalidArgument},
        {ControlMethod::kLoadProfile, rig.dir.path + "missing.psf", ControlError::kInvalidArgument},
        {ControlMethod::kLoadProfile, rig.dir.path + "notes.psf", ControlError::kFailed},
        {ControlMethod::kSaveProfile, rig.dir.path, ControlError::kInvalidArgument},
        {ControlMethod::kSaveProfile, rig.dir.path + "notes.psf/x.psf", ControlError::kFailed},
        {ControlMethod::kSelectProfile, 2, ControlError::kBusy, true},
        {ControlMethod::kApply, {}, ControlError::kBusy, true},
        {ControlMethod::kQuit, {}, ControlError::kBusy, true},
    };
    const ControlState before = rig.control->State();
    const std::string settings = ReadText(rig.Config("config.ini"));
    for (const auto& c : cases) {
        rig.modal = c.modal;
        const ControlReply reply = rig.Run(c.method, c.argument);
        EXPECT_EQ(reply.error, c.error) << static_cast<int>(c.method) << " " << reply.message;
        EXPECT_FALSE(reply.message.empty());
    }
    EXPECT_EQ(rig.control->State(), before);
    EXPECT_TRUE(rig.log.Sets().empty());
    EXPECT_EQ(ReadText(rig.dir.path + "notes.psf"), text) << "a refused file is left as it was";
    EXPECT_EQ(ReadText(rig.Config("config.ini")), settings);
    EXPECT_FALSE(rig.closed);
    // Showing the window brings its dialog along.
    EXPECT_EQ(rig.Run(ControlMethod::kShowWindow).error, ControlError::kNone);
}

TEST(KeyboardControl, EachCallRunsTheWindowsCommandAndAnswersOnceTheKeyboardHasIt) {
    ControlRig rig;
    rig.StartControl();
    // A profile the keyboard holds: switched at once, nothing else sent.
    EXPECT_EQ(rig.Run(ControlMethod::kSelectProfile, 2).error, ControlError::kNone);
    EXPECT_EQ(rig.log.Sets(), (std::vector<std::string>{"set 05 03 01"}));
    EXPECT_EQ(rig.model.CurrentSlot(), 1);
    // Lighting waits for Apply, as on the Lighting page.
    rig.log.Clear();
    EXPECT_EQ(rig.Run(ControlMethod::kSetLightingMode, 4).error, ControlError::kNone);
    EXPECT_EQ(rig.Run(ControlMethod::kSetLightingBrightness, 2).error, ControlError::kNone);
    EXPECT_TRUE(rig.log.Sets().empty());
    EXPECT_TRUE(rig.control->State().pending);
    EXPECT_EQ(rig.Run(ControlMethod::kApply).error, ControlError::kNone);
    EXPECT_EQ(rig.log.Sets(),
              (std::vector<std::string>{"set 07 0D 01 00 04 02", "set 05 03 01"}));
    const ControlState applied = rig.control->State();
    EXPECT_FALSE(applied.pending);
    EXPECT_EQ(applied.lightingMode, 4);
    EXPECT_EQ(applied.lightingBrightness, 2);
    // Profiles 4 and 5 live on the PC only.
    rig.log.Clear();
    EXPECT_EQ(rig.Run(ControlMethod::kSelectProfile, 5).error, ControlError::kNone);
    EXPECT_TRUE(rig.log.Sets().empty());
    EXPECT_EQ(rig.control->State().profile, 5);

    // Save, then load the file into profile 1: it goes with the next Apply.
    EXPECT_EQ(rig.Run(ControlMethod::kSelectProfile, 2).error, ControlError::kNone);
    const std::string path = rig.dir.path + "mine.psf";
    EXPECT_EQ(rig.Run(ControlMethod::kSaveProfile, path).error, ControlError::kNone);
    EXPECT_NE(ReadText(path).find("LightColor=4\r\n"), std::string::npos);
    EXPECT_EQ(rig.Run(ControlMethod::kSelectProfile, 1).error, ControlError::kNone);
    EXPECT_EQ(rig.Run(ControlMethod::kLoadProfile, path).error, ControlError::kNone);
    EXPECT_EQ(rig.model.Profile(0).LightColor(), 4);
    rig.log.Clear();
    EXPECT_EQ(rig.Run(ControlMethod::kApply).error, ControlError::kNone);
    EXPECT_EQ(rig.log.Count("set 07 0D 00 00 04 02"), 1);

    // Calls given while the keyboard works wait their turn, in order.
    rig.log.Clear();
    rig.clock->Hold(true);
    auto first = rig.Queue(ControlMethod::kSelectProfile, 3);
    auto second = rig.Queue(ControlMethod::kSetLightingMode, 6);
    auto third = rig.Queue(ControlMethod::kApply);
    Application::ProcessEventsFor(20);
    EXPECT_FALSE(second->has_value()) << "the second call waits for the first one's exchange";
    rig.clock->Hold(false);
    for (int i = 0; i < 40 && !third->has_value(); ++i) {
        rig.Idle();
        Application::ProcessEventsFor(2);
    }
    ASSERT_TRUE(first->has_value() && second->has_value() && third->has_value());
    EXPECT_EQ(rig.log.Sets(), (std::vector<std::string>{"set 05 03 02", "set 07 0D 02 00 06 08",
                                                        "set 05 03 02"}));
    // The keyboard's own profile key is heard as a change.
    rig.changes.clear();
    rig.sim->SendEvent(0x05, 1);
    for (int i = 0; i < 20 && rig.changes.empty(); ++i) rig.Settle();
    ASSERT_FALSE(rig.changes.empty());
    EXPECT_EQ(rig.changes.back().profile, 1);
}

TEST(KeyboardControl, AKeyboardThatIsAbsentOrClosedToTheUserIsSaid) {
    for (const bool deny : {false, true}) {
        ControlRig rig;
        rig.denyKeyboard = deny;
        if (!deny) rig.sim->Unplug();
        rig.StartControl();
        const ControlState state = rig.control->State();
        EXPECT_FALSE(state.connected);
        EXPECT_EQ(state.accessDenied, deny);
        const ControlError expected = deny ? ControlError::kAccessDenied : ControlError::kNotConnected;
        EXPECT_EQ(rig.Run(ControlMethod::kSelectProfile, 2).error, expected);
        EXPECT_EQ(rig.Run(ControlMethod::kApply).error, expected);
        EXPECT_TRUE(rig.log.Sets().empty());
    }
}

}  // namespace
}  // namespace lumbra::test
