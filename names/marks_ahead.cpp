#include "names/marks_ahead.h"

#include "base/cores.h"
#include "base/memory.h"

#include <exception>

namespace names {

MarksAhead::MarksAhead(std::string_view text, std::size_t source_start, const TreeNames* tree,
                       std::size_t chunk_marks) noexcept
    : m_text(text), m_source_start(source_start), m_tree(tree),
      m_chunk_marks(chunk_marks == 0 || chunk_marks > kChunkMarks ? kChunkMarks : chunk_marks) {
    // On one core a second thread only takes turns with the first.
    if (tarvo::UsableCores() < 2) {
        return;
    }
    m_chunks = tarvo::TryAllocateArray<Chunk>(kChunks);
    if (m_chunks == nullptr) {
        return;
    }
    // Room for every token at once (untouched room costs no memory), within the record's
    // bound: the thread plays the record while it grows.
    const std::size_t bytes = text.size() > source_start ? text.size() - source_start : 0;
    m_replay.Begin(text, bytes + 64, true);
    try {
        m_thread = std::thread([this] { Run(); });
    } catch (const std::exception&) {
        delete[] m_chunks;
        m_chunks = nullptr;
        return;
    }
    // The whole text, as the first pass's window records, a batch at a time: the thread's two
    // passes then cost about as much as this thread's scan with the names. Past the record's
    // bound the passes lex on themselves.
    NameLexer lexer(text, source_start, true);
    Token batch[kBatch];
    for (;;) {
        if (!m_replay.Room(kBatch, lexer)) {
            break;
        }
        const std::size_t made = lexer.Lex(batch, kBatch);
        m_replay.Record(batch, made);
        if (made == 0 || batch[made - 1].kind == TokenKind::End) {
            break;
        }
    }
}

MarksAhead::~MarksAhead() {
    if (m_thread.joinable()) {
        // Frees the thread if it waits for room; it stops at its next chunk.
        m_stop.store(true, std::memory_order_release);
        m_done.fetch_add(kChunks, std::memory_order_acq_rel);
        m_done.notify_one();
        m_thread.join();
    }
    delete[] m_chunks;
}

void MarksAhead::Run() noexcept {
    NameMarker marker(m_text, m_source_start, m_tree, m_replay);
    for (uint32_t w = 0;; ++w) {
        // Chunk w takes the place of chunk w - kChunks, once the scan is done with it.
        for (uint32_t d = m_done.load(std::memory_order_acquire); w >= d + kChunks;
             d = m_done.load(std::memory_order_acquire)) {
            m_done.wait(d, std::memory_order_acquire);
        }
        if (m_stop.load(std::memory_order_acquire)) {
            return;
        }
        Chunk& chunk = m_chunks[w % kChunks];
        chunk.count = 0;
        chunk.last = false;
        NameMark mark;
        while (chunk.count < m_chunk_marks) {
            if (!marker.Next(mark)) {
                chunk.last = true;
                break;
            }
            chunk.marks[chunk.count++] = mark;
        }
        m_filled.store(w + 1, std::memory_order_release);
        m_filled.notify_one();
        if (chunk.last) {
            return;
        }
    }
}

bool MarksAhead::Take() noexcept {
    if (m_chunk != nullptr) {
        if (m_chunk->last) {
            return false;
        }
        m_done.store(m_taken, std::memory_order_release);
        m_done.notify_one();
    }
    for (uint32_t f = m_filled.load(std::memory_order_acquire); f <= m_taken;
         f = m_filled.load(std::memory_order_acquire)) {
        m_filled.wait(f, std::memory_order_acquire);
    }
    m_chunk = &m_chunks[m_taken % kChunks];
    ++m_taken;
    m_next = 0;
    return true;
}

bool MarksAhead::Next(NameMark& mark) noexcept {
    while (!m_ended && (m_chunk == nullptr || m_next == m_chunk->count)) {
        if (!Take()) {
            m_ended = true;
        }
    }
    if (m_ended) {
        m_last = NameMark{m_text.size() + 1, m_text.size() + 1, NameClass::None};
        return false;
    }
    mark = m_chunk->marks[m_next++];
    m_last = mark;
    return true;
}

NameClass MarksAhead::After(std::size_t start) noexcept {
    while (m_last.start < start || (m_last.end == 0 && !m_ended)) {
        NameMark mark;
        if (!Next(mark)) {
            break;
        }
    }
    return m_last.start == start ? m_last.name_class : NameClass::None;
}

} // namespace names
