// "&Go" on one and ten megabytes of C++, alone and followed by its Undo, and "Vie&w CSS", through
// the dialog's real widgets on the offscreen platform: reading the box, both updates of its text,
// the progress bar and the paint after. Then handing a megabyte's result on: "Copy as rich text"
// (with the source in the box, which it converts first, and with Go's result in it) and "Preview in
// browser" up to the written page.

#include "app/tarvo_dlg.h"
#include "platform/desktop.h"
#include "platform/dialog_qt.h"
#include "res/resource.h"

#include <QApplication>
#include <QTest>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr const char* kChunk = "#include <vector>\r\n"
                               "/* Sums the positive values of a list, skipping the rest. */\r\n"
                               "template <typename T>\r\n"
                               "static inline long sum_positive(const std::vector<T>& values)\r\n"
                               "{\r\n"
                               "\tlong total = 0; // running sum\r\n"
                               "\tfor (unsigned int i = 0; i < values.size(); ++i) {\r\n"
                               "\t\tif (values[i] > 0 && values[i] != -1)\r\n"
                               "\t\t\ttotal += values[i];\r\n"
                               "\t\telse\r\n"
                               "\t\t\tcontinue;\r\n"
                               "\t}\r\n"
                               "\tprintf(\"total: %ld \\\"done\\\"\\n\", total);\r\n"
                               "\treturn total;\r\n"
                               "}\r\n\r\n";

std::string Megabytes(std::size_t count = 1) {
    std::string text;
    while (text.size() < (count << 20)) {
        text += kChunk;
    }
    return text;
}

class Dialog {
public:
    Dialog()
        : m_quiet([](const platform::MessageRequest&) { return platform::MessageAnswer::Ok; }) {
        m_dlg.Create();
        m_shown = QTest::qWaitForWindowExposed(platform::DialogWindowOf(m_dlg));
        m_dlg.OnCppDefaults();
    }
    CTarvoDlg& operator*() { return m_dlg; }
    CTarvoDlg* operator->() { return &m_dlg; }
    bool shown() const { return m_shown; }

private:
    platform::ScopedMessageHandler m_quiet; // the 64k notice answers itself
    CTarvoDlg m_dlg;
    bool m_shown = false;
};

// Arguments: css (1 classes, 0 font markup), mb (the source's size in megabytes).
void BM_Go(benchmark::State& state) {
    Dialog dlg;
    if (!dlg.shown()) {
        state.SkipWithError("the dialog did not show");
        return;
    }
    dlg->SetCheck(IDC_W3C_CORRECT, int(state.range(0)));
    const std::string source = Megabytes(std::size_t(state.range(1)));
    for (auto _ : state) {
        state.PauseTiming();
        dlg->SetDlgItemText(IDC_SOURCE, source);
        QApplication::processEvents();
        state.ResumeTiming();
        dlg->OnGo();
        QApplication::processEvents(); // the paint of the result
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(source.size()));
    state.counters["html_bytes"] = double(dlg->GetDlgItemText(IDC_SOURCE).size());
}
BENCHMARK(BM_Go)
    ->ArgsProduct({{1, 0}, {1, 10}})
    ->ArgNames({"css", "mb"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Go, then Ctrl+Z in the source box, which brings the source back, and the paint after each, as
// a user trying settings goes: each Go after the first drops the result that Redo would have
// brought back. Arguments as BM_Go's.
void BM_GoUndo(benchmark::State& state) {
    Dialog dlg;
    if (!dlg.shown()) {
        state.SkipWithError("the dialog did not show");
        return;
    }
    dlg->SetCheck(IDC_W3C_CORRECT, int(state.range(0)));
    const std::string source = Megabytes(std::size_t(state.range(1)));
    QWidget* box = platform::ControlWidget(*dlg, IDC_SOURCE);
    dlg->SetDlgItemText(IDC_SOURCE, source);
    QApplication::processEvents();
    for (auto _ : state) {
        dlg->OnGo();
        QApplication::processEvents();
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QApplication::processEvents();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(source.size()));
    state.counters["undone"] = dlg->GetDlgItemText(IDC_SOURCE) == source ? 1 : 0;
}
BENCHMARK(BM_GoUndo)
    ->ArgsProduct({{1, 0}, {1, 10}})
    ->ArgNames({"css", "mb"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_ViewCss(benchmark::State& state) {
    Dialog dlg;
    for (auto _ : state) {
        dlg->OnViewCss();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ViewCss)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Arguments: css (1 classes, 0 font markup), go (1: Go's result in the box, 0: the source).
void BM_CopyRichText1MB(benchmark::State& state) {
    Dialog dlg;
    dlg->SetCheck(IDC_W3C_CORRECT, int(state.range(0)));
    dlg->SetDlgItemText(IDC_SOURCE, Megabytes());
    if (state.range(1) != 0) {
        dlg->OnGo();
    }
    for (auto _ : state) {
        dlg->OnCopyRichText();
    }
}
BENCHMARK(BM_CopyRichText1MB)
    ->ArgsProduct({{1, 0}, {0, 1}})
    ->ArgNames({"css", "go"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// From the command to the page on disk; the browser is not started.
void BM_PreviewPage1MB(benchmark::State& state) {
    const platform::ScopedFileOpener no_browser([](std::string_view) { return true; });
    Dialog dlg;
    dlg->SetCheck(IDC_W3C_CORRECT, int(state.range(0)));
    dlg->SetDlgItemText(IDC_SOURCE, Megabytes());
    dlg->OnGo();
    for (auto _ : state) {
        dlg->OnPreviewInBrowser();
    }
}
BENCHMARK(BM_PreviewPage1MB)
    ->Arg(1)
    ->Arg(0)
    ->ArgName("css")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The dialog reads and creates profiles.ini in the current directory: use a scratch one.
    char dir[] = "/tmp/tarvo-bench-XXXXXX";
    if (::mkdtemp(dir) == nullptr || ::chdir(dir) != 0) {
        return 1;
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(dir);
    return 0;
}
