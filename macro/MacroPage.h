// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "macro/MacroHook.h"
#include "macro/MacroLists.h"
#include "model/KeyboardModel.h"
#include "model/MacroLibrary.h"

namespace lumbra {

// The texts the macro page shows.
namespace MacroPageText {
inline constexpr std::string_view kAttention = "Attention!";
inline constexpr std::string_view kNameExists =
    "The macro is existing.Please try a new macro name.";
// The main window's own check and the list's refusal word it differently.
inline constexpr std::string_view kNameTooLong = "The lengh of name exceed 12,please new it again!";
inline constexpr std::string_view kListNameTooLong =
    "The lengh of name is exceed 12,please new it again!";
inline constexpr std::string_view kInUse = "The Macro is currently in use,hence can't delete it!";
inline constexpr std::string_view kSelectToDelete = "Please select which Macro to delete!";
inline constexpr std::string_view kSelectToImport = "Please select which Macro to import!";
inline constexpr std::string_view kSelectToExport = "Please select which Macro to export!";
inline constexpr std::string_view kSelectToRecord = "Please select the macro which to record!";
inline constexpr std::string_view kLoopCountRange = "Please insert a valid input between 1 to 255.";
inline constexpr std::string_view kFull = "The Number of Action is full!";
inline constexpr std::string_view kConfigError =
    "The config file is error,Please uninstall software and install it again!";
inline constexpr std::string_view kImportFormat = "导入的文件格式不正确!";
inline constexpr std::string_view kImportFormatTitle = "警告!";
inline constexpr std::string_view kImportTitle = "Load Macro Key from...";
inline constexpr std::string_view kExportTitle = "Save Macro Key as...";
inline constexpr std::string_view kFileFilter = "mkf file(*.mkf)|*.mkf||";
inline constexpr std::string_view kFileExtension = "mkf";
}  // namespace MacroPageText

// What the macro page needs of the main window beyond its two lists: the
// name editor, the loop controls, its dialogs and the library-changed flag.
// Every call is on the UI thread; each maps onto one control operation of the
// page (macro list 2109 with its name editor, action list 2114, scroll bars
// 2115/2116, loop edit 2110, switches 2111/2112/2113).
class MacroPageView : public virtual MacroListsView {
public:
    // The list's name editor (BeginNameEdit and ScrollToEnd as the list does them).
    virtual void BeginNameEdit() = 0;
    virtual bool IsNameEditOpen() const = 0;
    virtual std::string NameEditText() const = 0;
    virtual void CloseNameEdit() = 0;
    virtual void ScrollMacroListToEnd() = 0;

    // Loop count edit and loop switch; the edit reports its text changes back
    // through MacroPage::OnLoopCountText, this one included.
    virtual void SetLoopCountText(const std::string& text) = 0;
    virtual void SetLoopSwitch(bool checked) = 0;
    virtual void TakeFocus() = 0;

    // The modal message dialog.
    virtual void ShowMessage(std::string_view text, std::string_view title) = 0;
    // The file dialogs of the import and export; nullopt when cancelled.
    virtual std::optional<std::string> ChooseMacroFileToOpen() = 0;
    virtual std::optional<std::string> ChooseMacroFileToSave() = 0;

    // The library-changed flag (DeviceLink::LibraryChanged).
    virtual bool LibraryChanged() const = 0;
    virtual void SetLibraryChanged(bool changed) = 0;
};

// The logic of the main window's macro page over the first set of the main
// library: naming, deleting, importing, exporting and loop settings, with the
// recording and scrolling of MacroLists. The window forwards its messages to
// the matching calls.
class MacroPage {
public:
    struct Services {
        MacroLibrary* library = nullptr;
        const KeyboardModel* model = nullptr;
        MacroPageView* view = nullptr;
        MacroHook* hook = nullptr;
        HostWindow* window = nullptr;  // receives the hook's messages
        std::string appDirectory;      // ends with '/'
    };

    explicit MacroPage(Services services);

    // Start-up and every selection change.
    void Refresh();
    // After the library was emptied and read again: nothing of the old one is
    // kept (a recording stops), the list shows set 0 again and Refresh runs.
    void LibraryReloaded();

    // 2100, 2101, 2102, 2103 released.
    void NewMacro();
    void DeleteMacro();
    void ImportMacro();
    void ExportMacro();
    // The macro list (2109) was clicked; its name editor added a name itself,
    // or refused one (kExists or kTooLong) and stays open.
    void OnMacroListClicked();
    void OnNameAdded();
    void OnNameRefused(MacroNameCheck check);
    // A left-button press while the page is shown, before the dialog routes
    // it: whether it is inside the macro list and inside the delete button.
    void OnLeftButtonDown(bool insideMacroList, bool insideDeleteButton);
    // Enter pressed while the page is shown.
    void OnEnter();
    // 2111 released, with the switch's new checked flag.
    void OnLoopSwitch(bool checked);
    // Any text change of the loop count edit.
    void OnLoopCountText(std::string_view text);
    // 2113 released; the button has already toggled.
    void OnRecordToggle();
    // kMsgHookKey.
    void OnHookMessage(uint32_t first, uint32_t second);
    // A press on a part of scroll bar 2115 (macroList true) or 2116, and a
    // drag of its thumb.
    void OnScrollPartPressed(bool macroList, ScrollPart part);
    void OnScrollThumbDragged(bool macroList);
    void OnMouseWheel(int delta);

    MacroKey* Current() const { return m_lists.Current(); }
    bool IsRecording() const { return m_lists.IsRecording(); }

private:
    MacroSet* FirstSet() const;
    // The selected macro, when the macro list shows one, at its place in the first set.
    MacroKey* SelectedInFirstSet() const;
    void WriteLibrary();
    // A recording has ended: what it changed goes to the file.
    void SaveRecording();
    void Message(std::string_view text);
    void CommitName(bool click, bool insideDeleteButton);

    Services m_s;
    MacroLists m_lists;
};

// The message that refuses a new name (kExists or kTooLong): a click inside
// the macro list words the length refusal differently from the window.
std::string_view RefusedNameText(MacroNameCheck check, bool clickInList);

}  // namespace lumbra
