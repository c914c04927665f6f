// "&Go" converts the source box's text to HTML in place; "Vie&w CSS" shows the style sheet.
// Either can be undone: the box keeps the text it held before.

#include "app/tarvo_dlg.h"

#include "platform/wait_cursor.h"
#include "profiles/theme_files.h"
#include "render/converter.h"
#include "render/style_sheet.h"
#include "res/resource.h"
#include "settings/profile_settings.h"
#include "style/theme_style.h"

#include <chrono>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

using platform::MessageStyle;

namespace {

// Shows what the conversion reports while it runs.
class GoObserver : public ConvertObserver {
public:
    GoObserver(CTarvoDlg& dlg, bool show_escaped, std::chrono::milliseconds delay)
        : m_dlg(dlg), m_show_escaped(show_escaped), m_delay(delay) {}

    void Notice(NoticeStyle style, const char* text) override {
        m_dlg.MessageBox(text, CTarvoDlg::kCaption,
                         style == NoticeStyle::Information ? MessageStyle::Information
                                                           : MessageStyle::Stop);
    }

    // Whether the box shows the escaped text: the result then replaces it in the same undo step.
    bool ShowedEscaped() const { return m_showed; }

    // The escaped text shows while the keyword scan runs, once the scan has run long enough for
    // it to be seen (SetEscapedTextDelay).
    void EscapeDone(std::string_view escaped) override {
        if (m_show_escaped) {
            m_escaped = escaped;
            m_scan_start = Clock::now();
            ShowEscapedWhenDue();
        }
    }

    void Progress(int32_t position) override {
        m_dlg.SetProgressPos(IDC_PROGRESS, position);
        ShowEscapedWhenDue();
    }

private:
    void ShowEscapedWhenDue() {
        if (m_escaped.data() != nullptr && Clock::now() - m_scan_start >= m_delay) {
            // Undo goes back to the source past it, in one step with the result.
            m_dlg.SetDlgItemTextAsStep(IDC_SOURCE, m_escaped, platform::UndoStep::New);
            m_dlg.UpdateItem(IDC_SOURCE);
            m_escaped = {};
            m_showed = true;
        }
    }

    using Clock = std::chrono::steady_clock;
    CTarvoDlg& m_dlg;
    bool m_show_escaped;
    std::chrono::milliseconds m_delay;
    std::string_view m_escaped; // still to be shown; the converter keeps it until it returns
    Clock::time_point m_scan_start;
    bool m_showed = false;
};

} // namespace

int CTarvoDlg::ConvertBox(Conversion& conversion, bool show) {
    const platform::WaitCursor wait;
    SetProgressRange(IDC_PROGRESS, 0, kProgressMax);
    SetProgressPos(IDC_PROGRESS, 0);
    ControlsToSettings(conversion.settings);
    conversion.b_css = GetCheck(IDC_W3C_CORRECT);
    conversion.source = GetDlgItemText(IDC_SOURCE);
    if (!LooksOf(conversion.settings, conversion.style, conversion.dark, conversion.dual)) {
        return 0;
    }
    GoObserver observer(*this, show, m_escaped_delay);
    const int converted = ConvertSource(conversion.settings, conversion.style, conversion.source,
                                        conversion.b_css, conversion.html, &observer);
    if (converted != 0 && show) {
        SetDlgItemTextAsStep(IDC_SOURCE, conversion.html,
                             observer.ShowedEscaped() ? platform::UndoStep::Same
                                                      : platform::UndoStep::New);
    }
    return converted;
}

void CTarvoDlg::OnGo() {
    std::shared_ptr<Conversion> conversion;
    int converted = 0;
    try {
        conversion = std::make_shared<Conversion>();
        converted = ConvertBox(*conversion, true);
    } catch (const std::bad_alloc&) {
        converted = 0; // a copy of the text did not fit: the same failure, reported alike
    } catch (const std::length_error&) {
        converted = 0;
    }
    if (converted == 0) {
        // The box keeps what it last showed: the source, or the escaped text.
        m_last_go.reset();
        MessageBox("Not enough memory", kCaption, MessageStyle::Stop);
        SetProgressPos(IDC_PROGRESS, 0);
        return;
    }
    m_last_go = std::move(conversion);
    SetItemFocus(IDC_SOURCE);
    SelectAll(IDC_SOURCE);
    ScrollCaret(IDC_SOURCE);
    SetProgressPos(IDC_PROGRESS, 0);
}

int CTarvoDlg::LooksOf(const ProfileSettings& settings, StyleRecord& style, StyleRecord& dark,
                       bool& dual) const {
    dual = false;
    if (!BuildStyle(settings, style) || !BuildStyle(settings, dark)) {
        return 0;
    }
    Theme theme;
    std::string problems;
    if (*settings.p_s_theme != '\0' &&
        FindTheme(m_profile_folder, settings.p_s_theme, theme, problems) == ThemeFileRead::Ok) {
        ApplyTheme(theme, style);
    }
    if (*settings.p_s_dark_theme != '\0' && FindTheme(m_profile_folder, settings.p_s_dark_theme,
                                                      theme, problems) == ThemeFileRead::Ok) {
        ApplyTheme(theme, dark);
        dual = true;
    }
    return 1;
}

void CTarvoDlg::OnViewCss() {
    ProfileSettings settings;
    ControlsToSettings(settings);
    StyleRecord style, dark;
    bool dual = false;
    if (!LooksOf(settings, style, dark, dual)) {
        MessageBox("Not enough memory", kCaption, MessageStyle::Stop);
        return;
    }
    SetDlgItemTextAsStep(IDC_SOURCE, dual ? BuildStyleSheet(style, dark) : BuildStyleSheet(style),
                         platform::UndoStep::New);
    SetItemFocus(IDC_SOURCE);
    SelectAll(IDC_SOURCE);
    ScrollCaret(IDC_SOURCE);
}
