// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "macro/MacroLists.h"

namespace lumbra {
namespace {

constexpr int kRows = 11;

// Both lists as plain fields, eleven rows each.
class FakeListsView : public MacroListsView {
public:
    int ShownSet() const override { return 0; }
    void ShowSet(int) override {}
    int SelectedMacro() const override { return selected; }
    void SetSelectedMacro(int index) override { selected = index; }
    int MacroListFirstRow() const override { return macroFirstRow; }
    void SetMacroListFirstRow(int row) override { macroFirstRow = row; }
    int MacroListRows() const override { return kRows; }
    bool MacroListHovered() const override { return hovered == "macros"; }
    void RedrawMacroList() override {}
    void ShowActions(const MacroKey*) override { stepFirstRow = 0; }
    int ActionListFirstRow() const override { return stepFirstRow; }
    void SetActionListFirstRow(int row) override { stepFirstRow = row; }
    int ActionListRows() const override { return kRows; }
    bool ActionListHovered() const override { return hovered == "steps"; }
    void RedrawActionList() override {}
    ScrollValues MacroScroll() const override { return macroBar; }
    void UpdateMacroScroll(const ScrollValues& v) override { macroBar = v; }
    ScrollValues ActionScroll() const override { return stepBar; }
    void UpdateActionScroll(const ScrollValues& v) override { stepBar = v; }
    bool DelaysOn() const override { return delays; }
    bool RecordButtonOn() const override { return record; }
    void SetRecordButtonOn(bool on) override { record = on; }
    void SetRecordingLook(bool recording) override { disabled = recording; }

    int selected = 0;
    int macroFirstRow = 0;
    int stepFirstRow = 0;
    std::string hovered;
    ScrollValues macroBar;
    ScrollValues stepBar;
    bool delays = true;
    bool record = true;
    bool disabled = false;
};

class CountingHook : public MacroHook {
public:
    void Start(HostWindow*) override { ++starts; }
    void Stop() override { ++stops; }
    int starts = 0;
    int stops = 0;
};

struct RecordCase {
    const char* window;
    bool manager;
    bool delays;
    uint32_t events;  // alternating presses and releases, 10 ms apart
    uint32_t steps;
    MacroRecorder::Result last;
};

class MacroListsRecording : public testing::TestWithParam<RecordCase> {};

// The page's recorder reports a macro full at 100 keyboard commands and leaves
// ending the recording to the page; the manager's fills all 200 slots. Either
// way the step list keeps the last step in sight.
TEST_P(MacroListsRecording, StepListFollowsTheLastStepUntilTheRecorderLimit) {
    const RecordCase& c = GetParam();
    MacroLibrary library;
    library.AddSet("Set")->AddKey("Macro");
    FakeListsView view;
    view.delays = c.delays;
    CountingHook hook;
    MacroLists lists(&library, view, &hook, nullptr,
                     c.manager ? MacroRecorder::ForManager() : MacroRecorder::ForMainWindow());
    lists.FollowSelection();
    ASSERT_EQ(lists.OnRecordToggle(), MacroLists::RecordToggle::kStarted);

    MacroRecorder::Result last = MacroRecorder::Result::kIgnored;
    for (uint32_t i = 0; i < c.events; ++i)
        last = lists.OnHookMessage(0x41, 10 * i | (i % 2 ? MacroRecorder::kReleaseBit : 0u));

    const int steps = static_cast<int>(c.steps);
    EXPECT_EQ(library.SetAt(0)->KeyAt(0)->MacroActionNum, c.steps);
    EXPECT_EQ(last, c.last);
    EXPECT_EQ(view.stepFirstRow, steps - kRows);
    EXPECT_EQ(view.stepBar.position, steps - kRows);
    EXPECT_EQ(view.stepBar.range, steps);
    EXPECT_TRUE(lists.IsRecording()) << "the window ends a full recording in its own order";
    EXPECT_TRUE(view.disabled);
    EXPECT_EQ(hook.stops, 0);
}

INSTANTIATE_TEST_SUITE_P(
    PageAndManager, MacroListsRecording,
    testing::Values(
        RecordCase{"PageWithPauses", false, true, 101, 199, MacroRecorder::Result::kFull},
        RecordCase{"PageKeysOnly", false, false, 101, 100, MacroRecorder::Result::kFull},
        RecordCase{"ManagerWithPauses", true, true, 130, 200, MacroRecorder::Result::kRecorded},
        RecordCase{"ManagerKeysOnly", true, false, 250, 200, MacroRecorder::Result::kRecorded}),
    [](const testing::TestParamInfo<RecordCase>& info) { return info.param.window; });

struct WheelCase {
    const char* hovered;  // "macros", "steps" or nothing
    int delta;
    int macroRow, stepRow;  // first rows before the turn
    int macroAfter, stepAfter;
};

class MacroListsWheel : public testing::TestWithParam<WheelCase> {};

// 20 macros and 30 steps in lists of 11 rows: a turn moves only the list under
// the mouse, by one row, never past either end, and its bar goes with it.
TEST_P(MacroListsWheel, TurnScrollsTheHoveredListAndItsBarOnly) {
    const WheelCase& c = GetParam();
    MacroLibrary library;
    MacroSet* set = library.AddSet("Set");
    for (int i = 0; i < 20; ++i) set->AddKey("M" + std::to_string(i));
    for (uint32_t i = 0; i < 30; ++i)
        set->KeyAt(0)->InsertAction(i, MacroAction::KeyEvent(0x41, i % 2 == 1));
    FakeListsView view;
    MacroLists lists(&library, view, nullptr, nullptr, MacroRecorder::ForManager());
    lists.FollowSelection();
    view.hovered = c.hovered;
    view.macroFirstRow = c.macroRow;
    view.stepFirstRow = c.stepRow;
    view.macroBar = {c.macroRow, kRows, 20};
    view.stepBar = {c.stepRow, kRows, 30};

    lists.OnMouseWheel(c.delta);
    EXPECT_EQ(view.macroFirstRow, c.macroAfter);
    EXPECT_EQ(view.macroBar.position, c.macroAfter);
    EXPECT_EQ(view.stepFirstRow, c.stepAfter);
    EXPECT_EQ(view.stepBar.position, c.stepAfter);
}

INSTANTIATE_TEST_SUITE_P(
    BothLists, MacroListsWheel,
    testing::Values(WheelCase{"macros", 120, 5, 5, 4, 5}, WheelCase{"macros", -120, 5, 5, 6, 5},
                    WheelCase{"macros", -120, 9, 5, 9, 5}, WheelCase{"macros", 120, 0, 5, 0, 5},
                    WheelCase{"steps", 120, 5, 5, 5, 4}, WheelCase{"steps", -120, 5, 18, 5, 19},
                    WheelCase{"steps", -120, 5, 19, 5, 19}, WheelCase{"", -120, 5, 5, 5, 5}));

}  // namespace
}  // namespace lumbra
