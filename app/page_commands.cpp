// Handing the result on: "Copy as rich text" to the clipboard, "Preview in browser" and "Save as
// HTML page...". Each works on what the source box stands for: Go's result while the box still
// shows it, else the box's text converted as Go would convert it.

#include "app/tarvo_dlg.h"

#include "files/safe_file.h"
#include "platform/clipboard.h"
#include "platform/desktop.h"
#include "render/clipboard_data.h"
#include "render/html_page.h"
#include "render/style_sheet.h"
#include "res/resource.h"
#include "text/line_ends.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

using platform::MessageStyle;

namespace {

// Files get the line ends of the system they are written on.
std::string WithLf(std::string text) {
    ToLf(text);
    return text;
}

// The complete page: the style sheet comes along for the CSS classes.
std::string Page(const Conversion& conversion, std::string_view title) {
    return BuildHtmlPage(title, WithLf(conversion.html),
                         conversion.b_css == 0 ? std::string()
                         : conversion.dual
                             ? WithLf(BuildStyleSheet(conversion.style, conversion.dark))
                             : WithLf(BuildStyleSheet(conversion.style)));
}

// The first line of a failure's message, then the file and the system's reason.
std::string Failure(const char* what, const std::string& path, int error) {
    return std::string(what) + "\n" + path + ": " + std::strerror(error);
}

constexpr const char* kPreviewTitle = "Tarvo preview";
constexpr const char* kPageFilter = "HTML pages (*.html *.htm);;All files (*)";

} // namespace

std::shared_ptr<const Conversion> CTarvoDlg::ConversionOfBox() {
    if (m_last_go && GetDlgItemText(IDC_SOURCE) == m_last_go->html) {
        return m_last_go;
    }
    auto conversion = std::make_shared<Conversion>();
    const int converted = ConvertBox(*conversion, false);
    SetProgressPos(IDC_PROGRESS, 0);
    if (converted == 0) {
        MessageBox("Not enough memory", kCaption, MessageStyle::Stop);
        return nullptr;
    }
    return conversion;
}

void CTarvoDlg::OnCopyRichText() {
    const auto conversion = ConversionOfBox();
    if (!conversion) {
        return;
    }
    // Plain-text targets get the code itself, rich ones its coloured rendering: word
    // processors take the RTF first, mail and web editors the HTML. Both are written from the
    // source and settings of the conversion, not read back from its HTML.
    std::vector<ClipboardFlavour> flavours;
    if (!BuildClipboardFlavours(conversion->source, conversion->settings, conversion->style,
                                conversion->b_css, flavours)) {
        MessageBox("Not enough memory", kCaption, MessageStyle::Stop);
        return;
    }
    std::vector<platform::ClipboardItem> items;
    for (const ClipboardFlavour& flavour : flavours) {
        items.push_back({flavour.mime_type, flavour.data});
    }
    platform::SetClipboardData(items);
}

void CTarvoDlg::OnPreviewInBrowser() {
    const auto conversion = ConversionOfBox();
    if (!conversion) {
        return;
    }
    const std::string& folder = m_preview_folder.Path();
    if (!folder.empty() && !m_preview_guard.Guarded()) {
        m_preview_guard.Guard(folder, true); // a signal that ends the program removes it too
    }
    const std::string path = folder + "/preview.html";
    if (folder.empty() || WriteFileWhole(path.c_str(), Page(*conversion, kPreviewTitle)) == 0) {
        const int error = errno;
        MessageBox(Failure("Error writing preview !", path, error), kCaption, MessageStyle::Stop);
        return;
    }
    // With the page's path, so that the user can open it by hand.
    const auto failed = [this, path] {
        MessageBox("Can't open the browser !\n" + path, kCaption, MessageStyle::Stop);
    };
    if (!platform::OpenWithDesktop(path, *this, failed)) {
        failed();
    }
}

void CTarvoDlg::OnSaveHtmlPage() {
    std::string suggested;
    if (!m_source_path.empty()) {
        suggested = std::filesystem::path(m_source_path).replace_extension(".html").string();
    }
    const std::string path = AskFileName(
        {platform::FileDialogMode::Save, "Save as HTML page", kPageFilter, suggested, "html"});
    if (path.empty()) {
        return;
    }
    const auto conversion = ConversionOfBox();
    if (!conversion) {
        return;
    }
    const std::string title = std::filesystem::path(path).stem().string();
    if (WriteFileWhole(path.c_str(), Page(*conversion, title)) == 0) {
        const int error = errno;
        MessageBox(Failure("Error saving page !", path, error), kCaption, MessageStyle::Stop);
    }
}
