// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "ui/CDlgBase.h"

namespace lumbra {

class EditBox;

// The 305 x 215 dialogs of the macro manager: a background picture that
// carries the whole text, a close button, OK and Cancel, and for the two
// set-name dialogs an edit box whose text goes to onNameEntered on OK.
class CMacroManagerSmallDlg : public CDlgBase {
public:
    static constexpr int kWidth = 305;
    static constexpr int kHeight = 215;
    static constexpr uint32_t kIdClose = 2004;
    static constexpr uint32_t kIdOk = 2010;
    static constexpr uint32_t kIdCancel = 2011;
    static constexpr uint32_t kIdNameEdit = 2012;

    ~CMacroManagerSmallDlg() override;

    bool OnInitDialog() override;
    void DrawBackground(Surface& surface, const Rect& client) override;
    void BuildControls(int left, int top, int right, int bottom) override;

    // The set-name edit box (nullptr in the notices).
    EditBox* NameEdit() const { return m_edit.get(); }

    // OK in a set-name dialog: the typed name, given before the dialog ends.
    std::function<void(const std::string& name)> onNameEntered;

protected:
    CMacroManagerSmallDlg(HostWindow* parent, int bitmapId, bool asksForName);

    // The window title's name of the dialog.
    std::string_view m_title = "Macro Manager";

private:
    void Ok();

    int m_bitmapId;
    bool m_asksForName;
    std::unique_ptr<EditBox> m_edit;
};

// Asks for the name of a new macro set.
class CMacroManagerAddDlg : public CMacroManagerSmallDlg {
public:
    explicit CMacroManagerAddDlg(HostWindow* parent);
};

// Asks for the name of the macro set to delete.
class CMacroManagerDelSetDlg : public CMacroManagerSmallDlg {
public:
    explicit CMacroManagerDelSetDlg(HostWindow* parent);
};

// Delete was pressed without a macro selected.
class CMacroManagerAttentionDlg : public CMacroManagerSmallDlg {
public:
    explicit CMacroManagerAttentionDlg(HostWindow* parent);
};

// New or Record has no set or macro to act on.
class CMacroManagerNoteDlg : public CMacroManagerSmallDlg {
public:
    explicit CMacroManagerNoteDlg(HostWindow* parent);
};

}  // namespace lumbra
