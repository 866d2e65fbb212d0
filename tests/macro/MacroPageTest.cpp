// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "../TestSupport.h"
#include "macro/MacroPage.h"
#include "storage/MacroFiles.h"

namespace lumbra {
namespace {

using test::TempDir;
constexpr uint32_t kRelease = 0x80000000u;

// The page's controls as plain fields; everything that shows or starts
// something goes into one log, in order.
class FakeView : public MacroPageView {
public:
    int ShownSet() const override { return shownSet; }
    void ShowSet(int index) override {
        shownSet = index;
        macroFirstRow = 0;
        const MacroSet* set = index >= 0 ? library->SetAt(static_cast<uint32_t>(index)) : nullptr;
        selected = set && set->MacroKeyNum() > 0 ? 0 : -1;
    }
    int SelectedMacro() const override { return selected; }
    void SetSelectedMacro(int index) override { selected = index; }
    int MacroListFirstRow() const override { return macroFirstRow; }
    void SetMacroListFirstRow(int row) override { macroFirstRow = row; }
    int MacroListRows() const override { return 11; }
    bool MacroListHovered() const override { return macroHovered; }
    void RedrawMacroList() override {}
    void BeginNameEdit() override {
        if (editorOpen || shownSet < 0 || !library->SetAt(static_cast<uint32_t>(shownSet))) return;
        editorOpen = true;
        editorText.clear();
    }
    bool IsNameEditOpen() const override { return editorOpen; }
    std::string NameEditText() const override { return editorText; }
    void CloseNameEdit() override { editorOpen = false; }
    void ScrollMacroListToEnd() override { log.push_back("scroll to end"); }
    void ShowActions(const MacroKey* key) override {
        actionKey = key;
        actionFirstRow = 0;
    }
    int ActionListFirstRow() const override { return actionFirstRow; }
    void SetActionListFirstRow(int row) override { actionFirstRow = row; }
    int ActionListRows() const override { return 11; }
    bool ActionListHovered() const override { return actionHovered; }
    void RedrawActionList() override {}
    ScrollValues MacroScroll() const override { return macroScroll; }
    void UpdateMacroScroll(const ScrollValues& v) override { macroScroll = v; }
    ScrollValues ActionScroll() const override { return actionScroll; }
    void UpdateActionScroll(const ScrollValues& v) override { actionScroll = v; }
    void SetLoopCountText(const std::string& text) override {
        loopText = text;
        // The edit reports every change, programmatic ones too.
        page->OnLoopCountText(text);
    }
    void SetLoopSwitch(bool checked) override { loopSwitch = checked; }
    bool DelaysOn() const override { return delays; }
    bool RecordButtonOn() const override { return record; }
    void SetRecordButtonOn(bool on) override { record = on; }
    void SetRecordingLook(bool recording) override {
        log.push_back(recording ? "controls disabled" : "controls enabled");
    }
    void TakeFocus() override {}
    void ShowMessage(std::string_view text, std::string_view title) override {
        log.push_back(std::string(title) + " " + std::string(text));
        libraryFileAtMessage = test::ReadBytes(libraryPath);
    }
    std::optional<std::string> ChooseMacroFileToOpen() override { return fileToOpen; }
    std::optional<std::string> ChooseMacroFileToSave() override { return fileToSave; }
    bool LibraryChanged() const override { return changed; }
    void SetLibraryChanged(bool c) override { changed = c; }

    MacroLibrary* library = nullptr;
    MacroPage* page = nullptr;
    std::string libraryPath;
    int shownSet = 0;
    int selected = -1;
    int macroFirstRow = 0;
    bool macroHovered = false;
    bool editorOpen = false;
    std::string editorText;
    const MacroKey* actionKey = nullptr;
    int actionFirstRow = 0;
    bool actionHovered = false;
    ScrollValues macroScroll;
    ScrollValues actionScroll;
    std::string loopText;
    bool loopSwitch = false;
    bool delays = true;
    bool record = false;
    bool changed = false;
    std::optional<std::string> fileToOpen;
    std::optional<std::string> fileToSave;
    std::vector<std::string> log;
    std::string libraryFileAtMessage;
};

class FakeHook : public MacroHook {
public:
    explicit FakeHook(std::vector<std::string>& log) : m_log(log) {}
    void Start(HostWindow*) override { m_log.push_back("hook started"); }
    void Stop() override { m_log.push_back("hook stopped"); }

private:
    std::vector<std::string>& m_log;
};

class MacroPageTest : public testing::Test {
protected:
    void SetUp() override {
        library.ResetToDefault();
        for (const char* name : {"Alpha", "Beta", "Gamma"}) library.SetAt(0)->AddKey(name);
        view.library = &library;
        view.libraryPath = MacroLibraryFilePath(dir.Dir());
        view.page = &page;
    }

    void Select(int item) {
        view.selected = item;
        page.Refresh();
    }
    void StartRecording(int item) {
        Select(item);
        view.record = true;
        page.OnRecordToggle();
        view.log.clear();
    }
    void Key(uint8_t vk, uint32_t ms, bool release = false) {
        page.OnHookMessage(vk, ms | (release ? kRelease : 0u));
    }
    MacroKey& Macro(int item) { return *library.SetAt(0)->KeyAt(static_cast<uint32_t>(item)); }
    std::optional<MacroLibrary> FileLibrary() {
        MacroLibrary read;
        if (!ReadMacroLibrary(read, dir.Dir())) return std::nullopt;
        return read;
    }
    void Type(const std::string& name) {
        page.NewMacro();
        view.editorText = name;
    }

    TempDir dir;
    MacroLibrary library;
    KeyboardModel model;
    FakeView view;
    FakeHook hook{view.log};
    MacroPage page{{&library, &model, &view, &hook, nullptr, dir.Dir()}};
};

MacroAction Press(uint8_t vk) { return MacroAction::KeyEvent(vk, false); }
MacroAction Release(uint8_t vk) { return MacroAction::KeyEvent(vk, true); }

TEST_F(MacroPageTest, RecordingWithPausesThenWithoutWritesTheLibraryWhenStopped) {
    StartRecording(1);
    Key(0x41, 1000);
    Key(0x41, 1040);  // held: the repeated press is dropped
    Key(0x41, 1120, true);
    Key(0x42, 3120);
    view.delays = false;
    Key(0x42, 3200, true);
    const MacroKey& m = Macro(1);
    ASSERT_EQ(m.MacroActionNum, 6u);
    EXPECT_EQ(m.GetAction(0), Press(0x41));
    EXPECT_EQ(m.GetAction(1), MacroAction::Pause(120));
    EXPECT_EQ(m.GetAction(2), Release(0x41));
    EXPECT_EQ(m.GetAction(3), MacroAction::Pause(2000));
    EXPECT_EQ(m.GetAction(4), Press(0x42));
    EXPECT_EQ(m.GetAction(5), Release(0x42));
    EXPECT_EQ(m.MacroCommandActionNum, 5) << "1 + 1 + 2 + 1";
    EXPECT_TRUE(view.changed);
    EXPECT_FALSE(FileLibrary()) << "nothing written while recording";

    view.record = false;
    page.OnRecordToggle();
    EXPECT_EQ(view.log, (std::vector<std::string>{"hook stopped", "controls enabled"}));
    EXPECT_FALSE(view.changed);
    auto file = FileLibrary();
    ASSERT_TRUE(file);
    EXPECT_EQ(file->SetAt(0)->KeyAt(1)->MacroActionNum, 6u);
    EXPECT_EQ(file->SetAt(0)->KeyAt(1)->GetAction(3), MacroAction::Pause(2000));
}

TEST_F(MacroPageTest, PauseBoundaryAndClockWrapThroughThePage) {
    StartRecording(0);
    Key(0x41, 0x7FFFFC00);
    Key(0x41, 0x7FFFFC00 + 1015, true);
    EXPECT_EQ(Macro(0).MacroCommandActionNum, 2);
    Key(0x42, 0x7FFFFC00u + 1015u + 1016u - 0x80000000u);  // the time stamp wrapped
    EXPECT_EQ(Macro(0).GetAction(3), MacroAction::Pause(1016));
    EXPECT_EQ(Macro(0).MacroCommandActionNum, 4);
}

TEST_F(MacroPageTest, RecordingStartsFromAnEmptyMacroAndNeedsASelection) {
    Macro(2).InsertAction(0, Press(0x51));
    Macro(2).MacroCommandActionNum = 1;
    view.record = true;
    page.OnRecordToggle();  // nothing selected
    EXPECT_FALSE(view.record);
    EXPECT_EQ(view.log,
              (std::vector<std::string>{"Attention! Please select the macro which to record!"}));
    EXPECT_FALSE(page.IsRecording());

    view.log.clear();
    Select(2);
    view.record = true;
    page.OnRecordToggle();
    EXPECT_EQ(view.log, (std::vector<std::string>{"hook started", "controls disabled"}));
    EXPECT_EQ(Macro(2).MacroActionNum, 0u);
    EXPECT_EQ(Macro(2).MacroCommandActionNum, 0);
    Key(0x00, 0);  // a popup closed
    EXPECT_EQ(Macro(2).MacroActionNum, 0u);
}

TEST_F(MacroPageTest, FullMacroStopsRecordingSavesAndShowsTheMessageBeforeTheHookStops) {
    StartRecording(0);
    view.changed = false;
    Key(0x41, 0);
    for (uint32_t i = 1; i < 100; ++i) Key(i % 2 ? 0x42 : 0x43, i * 10, false);
    EXPECT_EQ(Macro(0).MacroActionNum, 199u);
    EXPECT_EQ(Macro(0).MacroCommandActionNum, 100);
    EXPECT_TRUE(view.log.empty());
    EXPECT_EQ(view.actionFirstRow, 199 - 11) << "the last action stays in sight";
    EXPECT_EQ(view.actionScroll.range, 199);

    Key(0x44, 2000);
    EXPECT_EQ(view.log,
              (std::vector<std::string>{
                  "controls enabled", "Attention! The Number of Action is full!", "hook stopped"}));
    EXPECT_FALSE(view.record);
    EXPECT_EQ(Macro(0).MacroActionNum, 199u);
    // The file already held the whole macro when the message came up.
    MacroLibrary atMessage;
    ASSERT_TRUE(ParseMacroLibrary(view.libraryFileAtMessage, atMessage));
    EXPECT_EQ(atMessage.SetAt(0)->KeyAt(0)->MacroActionNum, 199u);
    EXPECT_EQ(atMessage.SetAt(0)->KeyAt(0)->MacroCommandActionNum, 100);

    // Keys pressed to close the message are not recorded.
    view.log.clear();
    Key(0x0D, 2100);
    Key(0x0D, 2150, true);
    EXPECT_EQ(Macro(0).MacroActionNum, 199u);
    EXPECT_TRUE(view.log.empty());
}

TEST_F(MacroPageTest, WithoutPausesTheMacroIsFullAfterOneHundredKeyEvents) {
    view.delays = false;
    StartRecording(0);
    for (uint32_t i = 0; i < 100; ++i) Key(0x41, i, i % 2 == 1);
    EXPECT_EQ(Macro(0).MacroActionNum, 100u);
    Key(0x41, 500);
    EXPECT_FALSE(view.record);
    EXPECT_EQ(Macro(0).MacroActionNum, 100u);
    EXPECT_EQ(view.log[1], "Attention! The Number of Action is full!");
}

struct CommitCase {
    const char* path;  // "enter", "click" or "list"
    const char* name;
    bool added;
    const char* message;  // empty for none
};

class NameCommit : public MacroPageTest, public testing::WithParamInterface<CommitCase> {};

TEST_P(NameCommit, TwelveCharactersAreAcceptedThirteenAndDuplicatesRefused) {
    const CommitCase& c = GetParam();
    Type(c.name);
    const std::string path = c.path;
    if (path == "enter") page.OnEnter();
    if (path == "click") page.OnLeftButtonDown(false, false);
    if (path == "list") {
        // The list answers a press inside it with its own message.
        page.OnLeftButtonDown(true, false);
        EXPECT_TRUE(view.editorOpen) << "the list handles it";
        const bool tooLong = std::string_view(c.name).size() > kMaxMacroNameBytes;
        page.OnNameRefused(tooLong ? MacroNameCheck::kTooLong : MacroNameCheck::kExists);
    }
    const uint32_t count = library.SetAt(0)->MacroKeyNum();
    EXPECT_EQ(count, c.added ? 4u : 3u);
    if (c.added) {
        EXPECT_EQ(library.SetAt(0)->KeyAt(3)->name, c.name);
        auto file = FileLibrary();
        ASSERT_TRUE(file);
        EXPECT_EQ(file->SetAt(0)->MacroKeyNum(), 4u);
    }
    if (path != "list") {
        EXPECT_FALSE(view.editorOpen) << "a refused name is discarded";
    }
    if (*c.message) {
        EXPECT_EQ(view.log, (std::vector<std::string>{std::string("Attention! ") + c.message}));
    } else {
        EXPECT_TRUE(view.log.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, NameCommit,
    testing::Values(
        CommitCase{"enter", "TwelveChars!", true, ""},
        CommitCase{"enter", "Thirteen chrs", false,
                   "The lengh of name exceed 12,please new it again!"},
        CommitCase{"enter", "Beta", false, "The macro is existing.Please try a new macro name."},
        CommitCase{"enter", "beta", true, ""}, CommitCase{"click", "TwelveChars!", true, ""},
        CommitCase{"click", "Thirteen chrs", false,
                   "The lengh of name exceed 12,please new it again!"},
        CommitCase{"click", "Gamma", false, "The macro is existing.Please try a new macro name."},
        // Twelve CJK characters are 36 bytes: more than the keyboard keeps.
        CommitCase{"click", "宏一二三四五六七八九十二", false,
                   "The lengh of name exceed 12,please new it again!"},
        CommitCase{"click", "宏一二三", true, ""},
        CommitCase{"list", "Thirteen chrs", false,
                   "The lengh of name is exceed 12,please new it again!"},
        CommitCase{"list", "Alpha", false, "The macro is existing.Please try a new macro name."}));

TEST_F(MacroPageTest, ClickOnDeleteDiscardsTheNameAndAnEmptyNameScrollsBack) {
    Type("Delta");
    page.OnLeftButtonDown(false, true);
    EXPECT_FALSE(view.editorOpen);
    EXPECT_EQ(library.SetAt(0)->MacroKeyNum(), 3u);

    Type("");
    page.OnEnter();
    EXPECT_FALSE(view.editorOpen);
    EXPECT_EQ(view.log, (std::vector<std::string>{"scroll to end"}));
    EXPECT_EQ(library.SetAt(0)->MacroKeyNum(), 3u);

    view.log.clear();
    page.OnNameAdded();  // the list added a name itself
    EXPECT_TRUE(FileLibrary());
}

TEST_F(MacroPageTest, DeleteIsRefusedWhileAnOnBoardGKeyUsesTheMacro) {
    model.Profile(2).GKey(3)->name = "Beta";
    model.Profile(2).GKey(3)->action = {1, 0, 0};
    Select(1);
    page.DeleteMacro();
    EXPECT_EQ(view.log, (std::vector<std::string>{
                            "Attention! The Macro is currently in use,hence can't delete it!"}));
    EXPECT_EQ(library.SetAt(0)->MacroKeyNum(), 3u);
    EXPECT_EQ(page.Current(), &Macro(1));

    view.log.clear();
    Select(2);
    page.DeleteMacro();
    EXPECT_TRUE(view.log.empty());
    EXPECT_EQ(library.SetAt(0)->MacroKeyNum(), 2u);
    EXPECT_EQ(view.selected, -1);
    EXPECT_EQ(page.Current(), nullptr);
    EXPECT_EQ(view.actionKey, nullptr);
    ASSERT_TRUE(FileLibrary());
    EXPECT_EQ(FileLibrary()->SetAt(0)->MacroKeyNum(), 2u);

    page.DeleteMacro();
    EXPECT_EQ(view.log,
              (std::vector<std::string>{"Attention! Please select which Macro to delete!"}));
}

TEST_F(MacroPageTest, ExportThenImportCopiesEverythingButTheName) {
    MacroKey& alpha = Macro(0);
    alpha.InsertAction(0, Press(0x41));
    alpha.InsertAction(1, MacroAction::Pause(300));
    alpha.InsertAction(2, Release(0x41));
    alpha.SetAction(150, Press(0x5A));  // beyond the steps in use
    alpha.MacroCommandActionNum = 2;
    alpha.LoopEnable = 0;
    alpha.LoopNum = 9;
    Select(0);
    view.fileToSave = dir.Path("alpha.mkf");
    page.ExportMacro();

    Select(2);
    view.fileToOpen = dir.Path("alpha.mkf");
    page.ImportMacro();
    EXPECT_TRUE(view.log.empty());
    const MacroKey& gamma = Macro(2);
    EXPECT_EQ(gamma.name, "Gamma");
    EXPECT_EQ(gamma.AllAction, alpha.AllAction);
    EXPECT_EQ(gamma.MacroActionNum, 3u);
    EXPECT_EQ(gamma.MacroCommandActionNum, 2);
    EXPECT_EQ(gamma.LoopEnable, 0u);
    EXPECT_EQ(gamma.LoopNum, 9);
    auto file = FileLibrary();
    ASSERT_TRUE(file);
    EXPECT_EQ(file->SetAt(0)->KeyAt(2)->AllAction, alpha.AllAction);
}

TEST_F(MacroPageTest, ImportIsAllOrNothingAndNeedsASelection) {
    page.ImportMacro();
    page.ExportMacro();
    EXPECT_EQ(view.log,
              (std::vector<std::string>{"Attention! Please select which Macro to import!",
                                        "Attention! Please select which Macro to export!"}));
    view.log.clear();

    Select(1);
    Macro(1).LoopNum = 4;
    std::string text = FormatMacroKeyFile(Macro(0));
    text.replace(text.find("LoopNum=1"), 9, "LoopNum=77");
    text.pop_back();  // AllAction one character short
    text.pop_back();
    text.pop_back();
    test::WriteBytes(dir.Path("bad.mkf"), text + "\r\n");
    view.fileToOpen = dir.Path("bad.mkf");
    page.ImportMacro();
    EXPECT_EQ(view.log, (std::vector<std::string>{"警告! 导入的文件格式不正确!"}));
    EXPECT_EQ(Macro(1).LoopNum, 4) << "nothing of the bad file is kept";
    EXPECT_FALSE(FileLibrary());

    view.log.clear();
    view.fileToOpen.reset();  // cancelled
    page.ImportMacro();
    EXPECT_TRUE(view.log.empty());
}

TEST_F(MacroPageTest, LoopCountOutsideOneTo255FallsBackToOne) {
    Select(0);
    view.changed = false;
    for (const char* text : {"0", "256", ""}) {
        view.log.clear();
        Macro(0).LoopNum = 50;
        page.OnLoopCountText(text);
        EXPECT_EQ(
            view.log,
            (std::vector<std::string>{"Attention! Please insert a valid input between 1 to 255."}))
            << text;
        EXPECT_EQ(Macro(0).LoopNum, 1);
        EXPECT_EQ(view.loopText, "1");
    }
    EXPECT_TRUE(view.changed);
    view.log.clear();
    page.OnLoopCountText("255");
    EXPECT_EQ(Macro(0).LoopNum, 255);
    page.OnLoopCountText("1");
    EXPECT_EQ(Macro(0).LoopNum, 1);
    EXPECT_TRUE(view.log.empty());

    page.OnLoopSwitch(false);
    EXPECT_EQ(Macro(0).LoopEnable, 0u);
    Select(-1);
    page.OnLoopCountText("0");  // nothing selected: nothing happens
    EXPECT_TRUE(view.log.empty());
}

TEST_F(MacroPageTest, RefreshShowsTheSelectedMacro) {
    Macro(1).LoopNum = 12;
    Macro(1).LoopEnable = 0;
    for (int i = 0; i < 30; ++i) Macro(1).InsertAction(static_cast<uint32_t>(i), Press(0x41));
    Select(1);
    EXPECT_EQ(view.actionKey, &Macro(1));
    EXPECT_EQ(view.loopText, "12");
    EXPECT_FALSE(view.loopSwitch);
    EXPECT_EQ(view.actionScroll.range, 30);
    EXPECT_EQ(view.actionScroll.page, 11);
    EXPECT_EQ(view.macroScroll.range, 3);
}

TEST_F(MacroPageTest, EmptyLibraryRefusesNewWithTheConfigMessageAndDoesNothingElse) {
    library.Clear();
    page.NewMacro();
    EXPECT_FALSE(view.editorOpen);
    EXPECT_EQ(view.log,
              (std::vector<std::string>{"Attention! The config file is error,Please uninstall "
                                        "software and install it again!"}));
    view.log.clear();
    view.editorOpen = true;  // whatever the editor says, there is no set to add to
    view.editorText = "Orphan";
    page.OnEnter();
    EXPECT_EQ(library.MacroSetNum(), 0u);
    view.macroHovered = true;
    page.OnMouseWheel(-120);
    page.Refresh();
    EXPECT_TRUE(view.log.empty());
}

TEST_F(MacroPageTest, ScrollBarsAndWheelMoveTheirLists) {
    for (int i = 0; i < 20; ++i) library.SetAt(0)->AddKey("M" + std::to_string(i));
    Select(0);
    EXPECT_EQ(view.macroScroll.range, 23);
    page.OnScrollPartPressed(true, ScrollPart::kDownArrow);
    EXPECT_EQ(view.macroFirstRow, 1);
    // The track below the thumb: a page less one row.
    page.OnScrollPartPressed(true, ScrollPart::kPageDown);
    EXPECT_EQ(view.macroFirstRow, 11);
    page.OnScrollPartPressed(true, ScrollPart::kPageDown);
    EXPECT_EQ(view.macroFirstRow, 12) << "stops at range - page";
    page.OnScrollPartPressed(true, ScrollPart::kDownArrow);
    EXPECT_EQ(view.macroScroll.position, 12);
    page.OnScrollPartPressed(true, ScrollPart::kPageUp);
    EXPECT_EQ(view.macroFirstRow, 2);
    view.macroScroll.position = 5;  // a dragged thumb stores its own position
    page.OnScrollThumbDragged(true);
    EXPECT_EQ(view.macroFirstRow, 5);

    view.macroHovered = true;
    page.OnMouseWheel(120);
    EXPECT_EQ(view.macroFirstRow, 4);
    EXPECT_EQ(view.macroScroll.position, 4);
    view.macroFirstRow = 12;
    page.OnMouseWheel(-120);
    EXPECT_EQ(view.macroFirstRow, 12) << "already at the end";
}

TEST_F(MacroPageTest, ReloadingTheLibraryForgetsTheOldMacros) {
    StartRecording(1);
    library.Clear();
    LoadMacroLibraryOrDefault(library, dir.Dir());
    page.LibraryReloaded();
    EXPECT_FALSE(page.IsRecording());
    EXPECT_FALSE(view.record);
    EXPECT_EQ(page.Current(), nullptr);
    EXPECT_EQ(view.shownSet, 0);
    Key(0x41, 10);  // must not reach the old macro
}

TEST(MacroScroll, ArrowsTrackAndThumbFollowTheTable) {
    const ScrollValues bar{3, 10, 30};
    EXPECT_EQ(ScrollPartPressed(bar, ScrollPart::kUpArrow).position, 2);
    EXPECT_EQ(ScrollPartPressed(bar, ScrollPart::kPageUp).position, 0);
    EXPECT_EQ(ScrollPartPressed(bar, ScrollPart::kPageDown).position, 12);
    EXPECT_EQ(ScrollPartPressed({15, 10, 30}, ScrollPart::kPageDown).position, 20);
    EXPECT_FALSE(ScrollPartPressed({20, 10, 30}, ScrollPart::kDownArrow).setFirstRow);
    EXPECT_FALSE(ScrollPartPressed({0, 10, 30}, ScrollPart::kUpArrow).relayout);
    const ScrollOutcome drag = ScrollThumbDragged(bar);
    EXPECT_TRUE(drag.setFirstRow);
    EXPECT_FALSE(drag.relayout);
    EXPECT_FALSE(ScrollPartPressed(bar, ScrollPart::kThumb).setFirstRow);
    EXPECT_EQ(WheelFirstRow(0, 11, 5, -1), -1) << "everything fits";
    EXPECT_EQ(WheelFirstRow(0, 11, 20, 1), -1);
    EXPECT_EQ(WheelFirstRow(8, 11, 20, -1), 9);
    EXPECT_EQ(WheelFirstRow(9, 11, 20, -1), -1);
}

}  // namespace
}  // namespace lumbra
