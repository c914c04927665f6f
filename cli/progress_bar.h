#pragma once
// One line on a terminal that shows how far a batch run is: files, bytes and time.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>

class ProgressBar {
public:
    // Draws only when `shown`; the caller decides (standard error is a terminal, no -q).
    ProgressBar(std::FILE* out, bool shown, std::size_t files, uint64_t bytes);
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void Show(std::size_t files_done, uint64_t bytes_done);
    // Takes the line away, so that a message or the summary stands alone.
    void Clear();

private:
    std::FILE* m_out;
    bool m_shown;
    bool m_drawn = false;
    std::size_t m_files;
    uint64_t m_bytes;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_last; // of the last drawing
};
