// "&Go" converts the source box's text to HTML in place; "Vie&w CSS" shows the style sheet.

#include "app/tarvo_dlg.h"

#include "convert/converter.h"
#include "convert/profile_settings.h"
#include "convert/style_sheet.h"
#include "platform/wait_cursor.h"
#include "res/resource.h"

#include <string>

using platform::MessageStyle;

namespace {

// Shows what the conversion reports while it runs.
class GoObserver : public ConvertObserver {
public:
    explicit GoObserver(CTarvoDlg& dlg) : m_dlg(dlg) {}

    void Notice(NoticeStyle style, const char* text) override {
        m_dlg.MessageBox(text, CTarvoDlg::kCaption,
                         style == NoticeStyle::Information ? MessageStyle::Information
                                                           : MessageStyle::Stop);
    }

    // The escaped text shows at once, while the keyword scan still runs.
    void EscapeDone(std::string_view escaped) override {
        m_dlg.SetDlgItemText(IDC_SOURCE, escaped);
        m_dlg.UpdateItem(IDC_SOURCE);
    }

    void Progress(int32_t position) override { m_dlg.SetProgressPos(IDC_PROGRESS, position); }

private:
    CTarvoDlg& m_dlg;
};

} // namespace

void CTarvoDlg::OnGo() {
    int converted = 0;
    {
        const platform::WaitCursor wait;
        SetProgressRange(IDC_PROGRESS, 0, kProgressMax);
        SetProgressPos(IDC_PROGRESS, 0);
        ProfileSettings settings;
        ControlsToSettings(settings);
        const int b_css = GetCheck(IDC_W3C_CORRECT);
        GoObserver observer(*this);
        std::string html;
        converted = ConvertSource(settings, GetDlgItemText(IDC_SOURCE), b_css, html, &observer);
        if (converted != 0) {
            SetDlgItemText(IDC_SOURCE, html);
        }
    }
    if (converted == 0) {
        // The box keeps what it last showed: the source, or the escaped text.
        MessageBox("Not enough memory", kCaption, MessageStyle::Stop);
        SetProgressPos(IDC_PROGRESS, 0);
        return;
    }
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
