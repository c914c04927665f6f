// "&Go" converts the source box's text to HTML in place; "Vie&w CSS" shows the style sheet.

#include "app/tarvo_dlg.h"

#include "convert/converter.h"
#include "convert/profile_settings.h"
#include "convert/style_sheet.h"
#include "platform/wait_cursor.h"
#include "res/resource.h"

#include <memory>
#include <new>
#include <stdexcept>
#include <string>

using platform::MessageStyle;

namespace {

// Shows what the conversion reports while it runs.
class GoObserver : public ConvertObserver {
public:
    GoObserver(CTarvoDlg& dlg, bool show_escaped) : m_dlg(dlg), m_show_escaped(show_escaped) {}

    void Notice(NoticeStyle style, const char* text) override {
        m_dlg.MessageBox(text, CTarvoDlg::kCaption,
                         style == NoticeStyle::Information ? MessageStyle::Information
                                                           : MessageStyle::Stop);
    }

    // The escaped text shows at once, while the keyword scan still runs.
    void EscapeDone(std::string_view escaped) override {
        if (m_show_escaped) {
            m_dlg.SetDlgItemText(IDC_SOURCE, escaped);
            m_dlg.UpdateItem(IDC_SOURCE);
        }
    }

    void Progress(int32_t position) override { m_dlg.SetProgressPos(IDC_PROGRESS, position); }

private:
    CTarvoDlg& m_dlg;
    bool m_show_escaped;
};

} // namespace

int CTarvoDlg::ConvertBox(Conversion& conversion, bool show) {
    const platform::WaitCursor wait;
    SetProgressRange(IDC_PROGRESS, 0, kProgressMax);
    SetProgressPos(IDC_PROGRESS, 0);
    ControlsToSettings(conversion.settings);
    conversion.b_css = GetCheck(IDC_W3C_CORRECT);
    conversion.source = GetDlgItemText(IDC_SOURCE);
    GoObserver observer(*this, show);
    const int converted = ConvertSource(conversion.settings, conversion.source, conversion.b_css,
                                        conversion.html, &observer);
    if (converted != 0 && show) {
        SetDlgItemText(IDC_SOURCE, conversion.html);
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

void CTarvoDlg::OnViewCss() {
    ProfileSettings settings;
    ControlsToSettings(settings);
    SetDlgItemText(IDC_SOURCE, BuildStyleSheet(settings));
    SetItemFocus(IDC_SOURCE);
    SelectAll(IDC_SOURCE);
    ScrollCaret(IDC_SOURCE);
}
