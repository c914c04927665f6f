#pragma once
// The character stream under the configuration-file tokenizer: holds the whole text of one file
// and delivers it character by character with the comments taken out, counting lines and keeping
// the last diagnostic.
//
// Comments: // to the end of the line (reads as its line feed) and /* ... */ (reads as nothing).
// They are taken out here, below the tokenizer, so they act inside strings too.

#include <cstdint>
#include <cstdio>
#include <memory>

// Space, tab, carriage return and line feed: what separates tokens.
inline bool IsConfigBlank(int c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

class ConfigCharStream {
public:
    ConfigCharStream() = default;
    virtual ~ConfigCharStream() = default;
    ConfigCharStream(const ConfigCharStream&) = delete;
    ConfigCharStream& operator=(const ConfigCharStream&) = delete;

    // Reads `file` (opened by the caller for reading, closed by the caller) from its current
    // position to its end and holds the text, releasing any text held before. Returns 1 when a
    // text was read; 0 without a file, for a file without characters, after a read error, or
    // when the memory for the text cannot be had (see OutOfMemory). Leaves ErrorText alone.
    int LoadText(std::FILE* file);
    // Releases the text: 1 if there was one, else 0. The length keeps its value (HasText).
    int FreeText();
    // Whether the last loaded text had characters; stays true after FreeText.
    bool HasText() const { return m_length != 0; }
    // Whether the last LoadText failed because the text did not fit in memory (or in 2^31-1
    // characters).
    bool OutOfMemory() const { return m_out_of_memory; }

    // Back to the first character.
    void Rewind();
    // The next character (1..255) with the comments taken out; 0 at the end of the data and for
    // a zero byte (which is stepped past all the same).
    int ReadChar();
    // Steps back over the character the last ReadChar consumed, so that it is read again with
    // the comment rules applied anew. Does nothing when that read met the end of the data, and
    // when called twice for one read.
    void UnreadChar();
    // 1 when only blanks and comments remain before the end of the data, else 0; the position
    // is left where it was.
    int OnlyBlanksLeft();
    // 1 plus the number of line feeds before the read position. Remembers its last answer, so a
    // pass over the text counts each line feed about once.
    int32_t LineNumber() const;
    // The read position: the characters stepped past so far.
    int32_t Position() const { return m_position; }

    // ErrorText becomes `message` cut to 255 characters, followed by " [line]" when both fit in
    // 255 characters. A null message counts as empty.
    void SetError(const char* message, int32_t line);
    // The last diagnostic; empty until the first one.
    const char* ErrorText() const { return m_error_text; }

protected:
    struct ReadState {
        int32_t position;
        bool can_unread;
    };
    ReadState SaveState() const { return {m_position, m_can_unread}; }
    void RestoreState(ReadState state);
    void RaiseError(const char* message) { SetError(message, LineNumber()); }

private:
    std::unique_ptr<char[]> m_text; // the characters and one closing zero byte
    int32_t m_length = 0;
    int32_t m_position = 0;
    bool m_can_unread = false; // the last ReadChar stepped past a character
    bool m_out_of_memory = false;
    // Last answer of LineNumber: the line of position m_line_position.
    mutable int32_t m_line_position = 0;
    mutable int32_t m_line_number = 1;
    char m_error_text[256] = {};
};
