// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <memory>
#include <string>
#include <vector>

#include "../TestSupport.h"
#include "../platform/MouseEvents.h"
#include "MacroUiSupport.h"
#include "macro/MacroPage.h"
#include "macro/MacroPageControls.h"
#include "platform/Application.h"
#include "platform/EditBox.h"
#include "platform/HostWidget.h"
#include "storage/MacroFiles.h"
#include "ui/CCheckButton.h"
#include "ui/CDlgBase.h"
#include "ui/CEditShowList.h"
#include "ui/CImageButton.h"
#include "ui/CImageShowList.h"
#include "ui/CVScrollBar.h"
#include "ui/ControlMessages.h"

namespace lumbra {
namespace {

using test::Click;
using test::TempDir;

// The macro page of the main window on its own: its controls where the main
// window has them, each message handed to MacroPage as the window does it.
class PageDialog : public CDlgBase {
public:
    PageDialog(MacroLibrary& library, const KeyboardModel& model, MacroHook& hook,
               std::string appDir)
        : CDlgBase(0, nullptr),
          m_library(library),
          m_model(model),
          m_hook(hook),
          m_appDir(std::move(appDir)) {
        SetWindowSize(818, 628);
    }
    ~PageDialog() override {
        m_page.reset();
        m_view.reset();
        m_loopEdit.reset();
    }

    bool OnInitDialog() override {
        CDlgBase::OnInitDialog();
        m_loopEdit = std::make_unique<EditBox>(*Window(), 2110, Rect{557, 404, 649, 424});
        m_loopEdit->SetNumbersOnly(true);
        MacroPageControls::Hooks hooks;
        hooks.showMessage = [this](std::string_view text, std::string_view title) {
            messages.push_back(std::string(title) + " " + std::string(text));
        };
        hooks.libraryChanged = [this] { return libraryChanged; };
        hooks.setLibraryChanged = [this](bool c) { libraryChanged = c; };
        hooks.chooseFileToOpen = [] { return std::optional<std::string>(); };
        hooks.chooseFileToSave = [] { return std::optional<std::string>(); };
        hooks.nameEditorEnter = [this] { m_page->OnEnter(); };
        m_view = std::make_unique<MacroPageControls>(*this, m_loopEdit.get(), hooks);
        m_page = std::make_unique<MacroPage>(
            MacroPage::Services{&m_library, &m_model, m_view.get(), &m_hook, Window(), m_appDir});
        m_loopEdit->OnTextChanged([this] { m_page->OnLoopCountText(m_loopEdit->Text()); });
        Wire();
        List()->onClick = [this] { m_page->OnMacroListClicked(); };
        List()->onNameAdded = [this] { m_page->OnNameAdded(); };
        List()->onNameRefused = [this](MacroNameCheck c) { m_page->OnNameRefused(c); };
        for (const uint32_t id : {2115u, 2116u}) {
            auto* bar = dynamic_cast<CVScrollBar*>(FindControl(id));
            bar->onPartPressed = [this, id](ScrollPart p) {
                m_page->OnScrollPartPressed(id == 2115, p);
            };
            bar->onThumbDragged = [this, id] { m_page->OnScrollThumbDragged(id == 2115); };
        }
        List()->SelectSet(0);
        m_page->Refresh();
        return true;
    }
    void DrawBackground(Surface& s, const Rect& client) override {
        StandardDrawBackground(s, client);
    }
    void BuildControls(int, int, int, int) override {
        HostWindow* w = Window();
        auto button = [&](uint32_t id, Rect r) {
            AddControl(2, std::make_unique<CImageButton>(w, id, r, "", true, false));
        };
        button(2100, {117, 448, 180, 463});
        button(2101, {190, 448, 253, 463});
        button(2102, {341, 448, 404, 463});
        button(2103, {414, 448, 477, 463});
        auto check = [&](uint32_t id, Rect r) {
            return AddControl(2, std::make_unique<CCheckButton>(w, id, r, "", true, false));
        };
        check(2111, {555, 383, 569, 398});
        check(2112, {555, 253, 569, 268})->SetChecked(true);
        check(2113, {556, 220, 699, 242});
        AddControl(2, std::make_unique<CImageShowList>(w, 2114, Rect{331, 215, 475, 430}, "", true,
                                                       false));
        AddControl(2, std::make_unique<CEditShowList>(w, 2109, Rect{107, 215, 251, 430}, "", true,
                                                      false, &m_library));
        AddControl(
            2, std::make_unique<CVScrollBar>(w, 2115, Rect{256, 215, 269, 430}, "", true, false));
        AddControl(
            2, std::make_unique<CVScrollBar>(w, 2116, Rect{480, 215, 493, 430}, "", true, false));
    }
    // The page's buttons, wired as the macro page's part wires them.
    void Wire() {
        const std::pair<uint32_t, void (MacroPage::*)()> buttons[] = {
            {2100, &MacroPage::NewMacro},       {2101, &MacroPage::DeleteMacro},
            {2102, &MacroPage::ImportMacro},    {2103, &MacroPage::ExportMacro},
            {2113, &MacroPage::OnRecordToggle},
        };
        for (const auto& [id, run] : buttons)
            FindControl(id)->onClick = [this, run = run] { ((*m_page).*run)(); };
        Check(2111)->onClick = [this] { m_page->OnLoopSwitch(Check(2111)->IsChecked()); };
    }
    intptr_t OnMessage(uint32_t msg, uintptr_t first, intptr_t second) override {
        if (msg == kMsgHookKey)
            m_page->OnHookMessage(static_cast<uint32_t>(first), static_cast<uint32_t>(second));
        return 0;
    }
    void OnLButtonDown(uint32_t flags, int x, int y) override {
        m_page->OnLeftButtonDown(FindControl(2109)->Contains(x, y),
                                 FindControl(2101)->Contains(x, y));
        CDlgBase::OnLButtonDown(flags, x, y);
    }

    CEditShowList* List() { return static_cast<CEditShowList*>(FindControl(2109)); }
    CImageShowList* Actions() { return static_cast<CImageShowList*>(FindControl(2114)); }
    CCheckButton* Check(uint32_t id) { return static_cast<CCheckButton*>(FindControl(id)); }
    MacroPage& Page() { return *m_page; }
    EditBox& LoopEdit() { return *m_loopEdit; }
    bool Complete() const { return m_view->IsComplete(); }

    std::vector<std::string> messages;
    bool libraryChanged = false;

private:
    MacroLibrary& m_library;
    const KeyboardModel& m_model;
    MacroHook& m_hook;
    std::string m_appDir;
    std::unique_ptr<EditBox> m_loopEdit;
    std::unique_ptr<MacroPageControls> m_view;
    std::unique_ptr<MacroPage> m_page;
};

class MacroPageOnControls : public testing::Test {
protected:
    void SetUp() override {
        library.ResetToDefault();
        library.SetAt(0)->AddKey("Alpha");
        library.SetAt(0)->AddKey("Beta");
        dlg = std::make_unique<PageDialog>(library, model, hook, dir.Dir());
        ASSERT_TRUE(dlg->Create());
        ASSERT_TRUE(dlg->Complete());
    }
    void TearDown() override {
        dlg.reset();
        Application::ProcessEvents();
    }
    HostWindow& W() { return *dlg->Window(); }
    void PressEnterInEditor() {
        auto* edit = WidgetOf(W())->findChild<QLineEdit*>(QStringLiteral("edit2016"));
        ASSERT_NE(edit, nullptr);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(edit, &press);
        Application::ProcessEvents();
    }
    void Type(const std::string& name) {
        Click(W(), 148, 455);  // New
        ASSERT_TRUE(dlg->List()->IsEditing());
        dlg->List()->Editor()->SetText(name);
    }

    TempDir dir;
    MacroLibrary library;
    KeyboardModel model;
    test::FakeHook hook;
    std::unique_ptr<PageDialog> dlg;
};

TEST_F(MacroPageOnControls, EnterInTheNameEditorCommitsOrRefusesWithTheWindowsTexts) {
    Type("TwelveChars!");
    PressEnterInEditor();
    EXPECT_FALSE(dlg->List()->IsEditing());
    ASSERT_EQ(library.SetAt(0)->MacroKeyNum(), 3u);
    MacroLibrary file;
    ASSERT_TRUE(ReadMacroLibrary(file, dir.Dir()));
    EXPECT_EQ(file.SetAt(0)->KeyAt(2)->name, "TwelveChars!");

    Type("Thirteen chrs");
    PressEnterInEditor();
    EXPECT_FALSE(dlg->List()->IsEditing());
    EXPECT_EQ(
        dlg->messages,
        (std::vector<std::string>{"Attention! The lengh of name exceed 12,please new it again!"}));
    EXPECT_EQ(library.SetAt(0)->MacroKeyNum(), 3u);
}

TEST_F(MacroPageOnControls, ClickInTheListKeepsTheEditorElsewhereDiscards) {
    Type("Thirteen chrs");
    Click(W(), 150, 225);  // inside the list
    EXPECT_TRUE(dlg->List()->IsEditing());
    dlg->List()->Editor()->SetText("Beta");
    Click(W(), 150, 225);
    EXPECT_TRUE(dlg->List()->IsEditing());
    dlg->List()->Editor()->SetText("Thirteen chrs");
    Click(W(), 700, 560);  // elsewhere in the window
    EXPECT_FALSE(dlg->List()->IsEditing());
    EXPECT_EQ(dlg->messages, (std::vector<std::string>{
                                 "Attention! The lengh of name is exceed 12,please new it again!",
                                 "Attention! The macro is existing.Please try a new macro name.",
                                 "Attention! The lengh of name exceed 12,please new it again!"}));
    EXPECT_EQ(library.SetAt(0)->MacroKeyNum(), 2u);

    Type("Gamma");
    Click(W(), 150, 225);  // the list adds it and the window writes the file
    EXPECT_FALSE(dlg->List()->IsEditing());
    MacroLibrary file;
    ASSERT_TRUE(ReadMacroLibrary(file, dir.Dir()));
    EXPECT_EQ(file.SetAt(0)->MacroKeyNum(), 3u);
}

TEST_F(MacroPageOnControls, RecordingDisablesTheOtherControlsAndFollowsTheLastAction) {
    ASSERT_EQ(dlg->Page().Current(), library.SetAt(0)->KeyAt(0));
    Click(W(), 600, 231);  // record
    ASSERT_TRUE(dlg->Page().IsRecording());
    EXPECT_EQ(hook.target, &W());
    EXPECT_TRUE(dlg->FindControl(2100)->IsDisabled());
    EXPECT_TRUE(dlg->FindControl(2109)->IsDisabled());
    EXPECT_FALSE(dlg->FindControl(2112)->IsDisabled());
    EXPECT_FALSE(dlg->FindControl(2113)->IsDisabled());
    for (uint32_t i = 0; i < 10; ++i)
        W().Send(kMsgHookKey, 0x41, static_cast<intptr_t>(100 * i | (i % 2 ? 0x80000000u : 0)));
    const MacroKey& alpha = *library.SetAt(0)->KeyAt(0);
    EXPECT_EQ(alpha.MacroActionNum, 19u);
    EXPECT_EQ(alpha.MacroCommandActionNum, 10);
    EXPECT_EQ(dlg->Actions()->FirstRow(), 19 - 11);
    Click(W(), 600, 231);
    EXPECT_FALSE(dlg->Page().IsRecording());
    EXPECT_EQ(hook.log, (std::vector<std::string>{"start", "stop"}));
    EXPECT_FALSE(dlg->FindControl(2100)->IsDisabled());
    MacroLibrary file;
    ASSERT_TRUE(ReadMacroLibrary(file, dir.Dir()));
    EXPECT_EQ(file.SetAt(0)->KeyAt(0)->MacroActionNum, 19u);
}

TEST_F(MacroPageOnControls, LoopCountEditFallsBackToOne) {
    dlg->LoopEdit().SetText("256");
    EXPECT_EQ(
        dlg->messages,
        (std::vector<std::string>{"Attention! Please insert a valid input between 1 to 255."}));
    EXPECT_EQ(dlg->LoopEdit().Text(), "1");
    EXPECT_EQ(library.SetAt(0)->KeyAt(0)->LoopNum, 1);
    dlg->LoopEdit().SetText("42");
    EXPECT_EQ(library.SetAt(0)->KeyAt(0)->LoopNum, 42);
    EXPECT_TRUE(dlg->libraryChanged);
}

}  // namespace
}  // namespace lumbra
