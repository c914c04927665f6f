#include "cli/progress_bar.h"

#include <algorithm>

ProgressBar::ProgressBar(std::FILE* out, bool shown, std::size_t files, uint64_t bytes)
    : m_out(out), m_shown(shown), m_files(files), m_bytes(bytes),
      m_start(std::chrono::steady_clock::now()) {}

void ProgressBar::Show(std::size_t files_done, uint64_t bytes_done) {
    const auto now = std::chrono::steady_clock::now();
    // Ten times a second is enough for the eye; the last state is always drawn.
    if (!m_shown ||
        (m_drawn && files_done < m_files && now - m_last < std::chrono::milliseconds(100))) {
        return;
    }
    m_last = now;
    constexpr int kWidth = 30;
    const int filled = m_files == 0 ? kWidth : int(files_done * kWidth / m_files);
    char bar[kWidth + 1];
    std::fill(bar, bar + kWidth, '-');
    std::fill(bar, bar + filled, '#');
    bar[kWidth] = '\0';
    const double seconds = std::chrono::duration<double>(now - m_start).count();
    // The line is rewritten in place; \033[K clears what a longer line left.
    std::fprintf(m_out, "\r[%s] %zu/%zu files, %.1f/%.1f MB, %.1f s\033[K", bar, files_done,
                 m_files, double(bytes_done) / 1e6, double(std::max(m_bytes, bytes_done)) / 1e6,
                 seconds);
    std::fflush(m_out);
    m_drawn = true;
}

void ProgressBar::Clear() {
    if (m_drawn) {
        std::fputs("\r\033[K", m_out);
        std::fflush(m_out);
        m_drawn = false;
    }
}
