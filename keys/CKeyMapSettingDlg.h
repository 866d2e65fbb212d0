// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "keys/CCaptureDlg.h"
#include "ui/ChoiceRecord.h"

namespace lumbra {

class CComboButton;
class CStaticText;

// The key setting dialog: what one key of the main block does — send another
// key (captured from the keyboard), perform a mouse function, or nothing. OK
// ends the dialog, then hands onCodeChosen the key button's id and the chosen
// code; cancelling chooses nothing. Keys are captured into the key-name field
// as the capture dialog describes.
class CKeyMapSettingDlg : public CCaptureDlg {
public:
    enum class Mode { kKey, kMouse, kDisable };

    static constexpr int kWidth = 400;
    static constexpr int kHeight = 270;
    static constexpr int kBackground = 272;

    // The mode radio buttons: key, mouse, disable.
    static constexpr uint32_t kModeRadios[] = {2013, 2014, 2018};

    CKeyMapSettingDlg(HostWindow* parent, uint32_t keyButtonId, std::string keyLabel,
                      uint8_t factoryCode, uint8_t currentCode);

    bool OnInitDialog() override;
    void DrawBackground(Surface& surface, const Rect& client) override;
    void BuildControls(int left, int top, int right, int bottom) override;

    // The mode whose radio button is selected.
    Mode CurrentMode() const { return m_mode; }
    // The code OK would send now.
    uint8_t ChosenCode() const;
    uint8_t KeyChoice() const { return m_keyChoice; }
    uint8_t MouseChoice() const { return m_mouseChoice; }
    uint8_t CurrentCode() const { return m_currentCode; }
    const std::string& CapturedName() const { return m_capturedName; }
    uint8_t CapturedVirtualKey() const { return m_capturedVirtualKey; }

    // The combo's text for a mouse-function code 208..214 when the dialog opens.
    static std::string_view MouseFunctionName(uint8_t code);
    // The mouse-function code of a choice from the mouse-function list.
    static uint8_t MouseCodeForChoice(uint8_t type, uint8_t param1);

    // The code OK chose for the key button, called once the dialog has ended.
    std::function<void(uint32_t keyButtonId, uint8_t code)> onCodeChosen;

protected:
    void OnOk() override;
    void OnCapturedKey(uintptr_t virtualKey) override;

private:
    void OnComboClick();
    void OnMouseFunctionChosen(const ChoiceRecord& record);
    void OnMouseListDeactivated();
    void RepaintRadios();
    void OnRestore();
    void SetMode(Mode mode);
    void ShowKeyName(const std::string& name);
    void CloseMouseList();

    uint32_t m_keyButtonId;
    std::string m_keyLabel;
    uint8_t m_factoryCode;
    uint8_t m_currentCode;
    std::string m_capturedName;
    uint8_t m_capturedVirtualKey = 0;
    uint8_t m_keyChoice = 0;
    uint8_t m_mouseChoice = 0;
    CStaticText* m_keyName = nullptr;
    CComboButton* m_combo = nullptr;
    // The key mode's radio starts selected.
    Mode m_mode = Mode::kKey;
};

}  // namespace lumbra
