#pragma once
// Tarvo's one window: the settings controls, the profile buttons, Go and View CSS, and the big
// box that holds the source and then its HTML.

#include "dialog.h"

#include <cstdint>

class ProfileSettings;

namespace platform {
struct IconResource;
}

class CTarvoDlg : public platform::Dialog {
public:
    CTarvoDlg();

    // The settings controls into a record, and a record into the controls.
    void ControlsToSettings(ProfileSettings& settings);
    void SettingsToControls(const ProfileSettings& settings);

    // Command handlers.
    void OnCppDefaults();
    void OnGo();
    void OnViewCss();
    void OnLoad();
    void OnSave();
    void OnSetDefault();
    void OnDelete();
    void OnSelEndOkProfile();

    // Every message box of the program has this caption.
    static constexpr const char* kCaption = "Tarvo";

protected:
    bool OnInitDialog() override;
    void OnPaint() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(int id, platform::Notification code) override;

private:
    // Writes a colour as six upper-case hexadecimal digits; false when memory ran out.
    bool ColourToControl(int id, uint32_t colour);
    // Reads a colour box; leaves `colour` as it was when the box holds no hexadecimal number.
    void ControlToColour(int id, uint32_t& colour) const;

    const platform::IconResource* m_hIcon; // shared resource, never freed
    int32_t m_bFocusSource = 0;            // set until the first paint moved the focus
};
