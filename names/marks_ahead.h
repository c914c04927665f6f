#pragma once
// The name marker on a thread of its own, for one large conversion on a machine with a core to
// spare: the caller lexes the text for the marker's passes, which run on the thread while it
// lexes and while the caller's scan goes on; the scan takes the marks in order as they come.
// The answers are the marker's own, word for word.
//
//   MarksAhead ahead(escaped, opening.size(), tree);
//   if (ahead.Started()) ... ahead.ClassAt(word_start) for each word, in increasing order ...

#include "names/name_marker.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <thread>

namespace names {

class MarksAhead {
public:
    // Marks of a chunk: the scan waits for a chunk's at most once, and the thread ahead keeps
    // at most kChunks of them in hand.
    static constexpr std::size_t kChunkMarks = 8192;
    static constexpr std::size_t kChunks = 4;

    // `text` and `tree` as for NameMarker. `chunk_marks` (at most kChunkMarks): smaller only
    // to test the hand-over.
    MarksAhead(std::string_view text, std::size_t source_start, const TreeNames* tree,
               std::size_t chunk_marks = kChunkMarks) noexcept;
    // Stops the thread, when the scan ended early, and waits for it.
    ~MarksAhead();
    MarksAhead(const MarksAhead&) = delete;
    MarksAhead& operator=(const MarksAhead&) = delete;

    // False when no thread could be had (nor the room for its marks): the caller then marks
    // the names itself.
    bool Started() const noexcept { return m_chunks != nullptr; }

    // As NameMarker::ClassAt.
    NameClass ClassAt(std::size_t start) noexcept {
        if (start <= m_last.start && m_last.end != 0) {
            return start == m_last.start ? m_last.name_class : NameClass::None;
        }
        return After(start);
    }
    // Where the first word that takes a class at or after `p` begins (past the text's end when
    // there is none): the words before it take none. Positions as for ClassAt.
    std::size_t NextMarkFrom(std::size_t p) noexcept {
        if (p > m_last.start || m_last.end == 0) {
            After(p);
        }
        return m_last.start;
    }
    // As NameMarker::Next.
    bool Next(NameMark& mark) noexcept;

private:
    static constexpr std::size_t kBatch = 64; // tokens recorded at once
    struct Chunk {
        NameMark marks[kChunkMarks];
        std::size_t count = 0;
        bool last = false; // the marker ended in this chunk
    };

    NameClass After(std::size_t start) noexcept;
    void Run() noexcept; // on the thread
    // The scan's side: waits for the next chunk; false past the last.
    bool Take() noexcept;

    std::string_view m_text;
    std::size_t m_source_start;
    const TreeNames* m_tree;
    std::size_t m_chunk_marks;
    TokenReplay m_replay;      // the text's tokens, which the caller's thread records
    Chunk* m_chunks = nullptr; // kChunks of them, a ring
    // Chunks the thread has filled, and chunks the scan is done with; each only grows.
    std::atomic<uint32_t> m_filled{0};
    std::atomic<uint32_t> m_done{0};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    // The scan's place: in the chunk m_taken - 1, at m_next.
    uint32_t m_taken = 0;
    const Chunk* m_chunk = nullptr;
    std::size_t m_next = 0;
    bool m_ended = false;
    NameMark m_last;
};

} // namespace names
