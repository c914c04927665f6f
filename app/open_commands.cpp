// Bringing a source file into the source box: "Open source file..." and a file dropped on it.

#include "app/tarvo_dlg.h"

#include "app/source_file.h"
#include "res/resource.h"
#include "text/source_text.h"

#include <cerrno>
#include <new>

using platform::MessageStyle;

namespace {

// "C and C++ sources (*.c *.cc ...);;All files (*)", from the one list of endings.
std::string SourceFilter() {
    std::string filter = "C and C++ sources (";
    for (const char* ending : kSourceFileEndings) {
        filter += filter.back() == '(' ? "*" : " *";
        filter += ending;
    }
    return filter + ");;All files (*)";
}

} // namespace

void CTarvoDlg::OnOpenSourceFile() {
    const std::string path = AskFileName(
        {platform::FileDialogMode::Open, "Open source file", SourceFilter(), m_source_path});
    if (!path.empty()) {
        LoadSourceFile(path);
    }
}

void CTarvoDlg::OnDropFiles(int id, const std::vector<std::string>& paths) {
    // The box holds one text: of several files, the first.
    if (id == IDC_SOURCE && !paths.empty()) {
        LoadSourceFile(paths.front());
    }
}

void CTarvoDlg::LoadSourceFile(const std::string& path) {
    std::string text;
    off_t size = 0;
    const ReadStatus read = ReadSourceText(path.c_str(), text, size);
    if (read != ReadStatus::Ok) {
        const int error = errno;
        MessageBox(SourceReadMessage(read, error, path, size), kCaption, MessageStyle::Stop);
        return;
    }
    try {
        // As a paste does, so that the user can undo it.
        SelectAll(IDC_SOURCE);
        ReplaceSel(IDC_SOURCE, text);
        m_source_path = path;
    } catch (const std::bad_alloc&) {
        MessageBox("Not enough memory", kCaption, MessageStyle::Stop);
    }
}
