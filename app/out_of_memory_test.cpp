// Open source file and Go when the address space runs out for real, in a child process under
// RLIMIT_AS: a message, and the box keeps its text; never an abort. AddressSanitizer reserves more
// address space than any such limit leaves, so the Release tests run these.

#include "app/dialog_fixture.h"
#include "render/converter.h"

#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <fstream>

namespace {

class OutOfMemoryTest : public DialogTest {
protected:
    // Runs `command` in a child whose address space may grow by `room` bytes at most. Returns
    // 0 when the child's last message was `message` and the box showed one of `texts`
    // afterwards; 1 or 2 when not; anything else when it did not end normally.
    int InChild(std::size_t room, const std::function<void()>& command, const std::string& message,
                const std::vector<std::string>& texts) {
        std::fflush(nullptr);
        const pid_t child = ::fork();
        if (child == 0) {
            // Hidden, the window paints nothing: the toolkit's painting threads are not in the
            // child, and waiting for them would never end.
            platform::DialogWindowOf(dlg)->hide();
            std::ifstream statm("/proc/self/statm");
            std::size_t pages = 0;
            statm >> pages;
            const rlim_t limit = rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE)) + room;
            // Only the last text is kept: the fixture's own record copies the whole box.
            std::string last(64, '\0');
            platform::SetMessageHandler([&](const platform::MessageRequest& m) {
                last.assign(m.text.substr(0, std::min<std::size_t>(m.text.size(), 64)));
                return platform::MessageAnswer::Ok;
            });
            const rlimit space{limit, RLIM_INFINITY};
            ::setrlimit(RLIMIT_AS, &space);
            command();
            const rlimit room_again{RLIM_INFINITY, RLIM_INFINITY}; // for the checks below
            ::setrlimit(RLIMIT_AS, &room_again);
            // Other reports may come first: the keywords' "Not enough memory", Go's notices.
            if (last != message) {
                ::_exit(1);
            }
            const std::string box = dlg.GetDlgItemText(IDC_SOURCE);
            ::_exit(std::find(texts.begin(), texts.end(), box) != texts.end() ? 0 : 2);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
    }
};

} // namespace

TEST_F(OutOfMemoryTest, OpenAndGoReportItAndTheBoxKeepsItsText) {
    if (kUnderAddressSanitizer) {
        GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit leaves";
    }
    const std::string kept = "int kept;\r\n";
    dlg.SetDlgItemText(IDC_SOURCE, kept);
    WriteWholeFile("big.c", std::string(std::size_t(30) << 20, 'x'));
    next_file = (m_dir / "big.c").string();
    EXPECT_EQ(InChild(std::size_t(16) << 20, [&] { dlg.OnOpenSourceFile(); }, "Not enough memory",
                      {kept}),
              0);

    std::string source;
    while (source.size() < (std::size_t(8) << 20)) {
        source += "int x = a < b; // why\r\n";
    }
    dlg.SetDlgItemText(IDC_SOURCE, source);
    // Go's box keeps what it last received: the source, or the escaped text shown at once.
    struct Escaped : ConvertObserver {
        void EscapeDone(std::string_view text) override { escaped = text; }
        std::string escaped;
    } escaped;
    ProfileSettings settings;
    dlg.ControlsToSettings(settings);
    std::string html;
    ASSERT_EQ(ConvertSource(settings, source, dlg.GetCheck(IDC_W3C_CORRECT), html, &escaped), 1);
    EXPECT_EQ(InChild(std::size_t(4) << 20, [&] { dlg.OnGo(); }, "Not enough memory",
                      {source, escaped.escaped}),
              0);
}
