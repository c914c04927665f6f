// Bringing a source file into the source box: "Open source file..." and a file dropped on it.

#include "app/tarvo_dlg.h"

#include "app/source_file.h"
#include "res/resource.h"

#include <cerrno>
#include <cstring>

using platform::MessageStyle;

namespace {

constexpr const char* kSourceFilter =
    "C and C++ sources (*.c *.cc *.cpp *.cxx *.c++ *.h *.hh *.hpp *.hxx *.h++ *.inl *.ipp);;"
    "All files (*)";

} // namespace

void CTarvoDlg::OnOpenSourceFile() {
    const std::string path = AskFileName(
        {platform::FileDialogMode::Open, "Open source file", kSourceFilter, m_source_path});
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
    switch (ReadSourceText(path.c_str(), text)) {
    case SourceRead::Failed: {
        const int error = errno;
        MessageBox("Error opening file !\n" + path + ": " + std::strerror(error), kCaption,
                   MessageStyle::Stop);
        return;
    }
    case SourceRead::NulBytes:
        MessageBox("Not a text file, it holds NUL bytes !\n" + path, kCaption, MessageStyle::Stop);
        return;
    case SourceRead::Ok:
        break;
    }
    // As a paste does, so that the user can undo it.
    SelectAll(IDC_SOURCE);
    ReplaceSel(IDC_SOURCE, text);
    m_source_path = path;
}
