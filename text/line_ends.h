#pragma once
// Line ends on the way into and out of the converter, which works on text as the dialog's
// source box delivers it (CR LF) and whose output is copied out with LF. These passes run over
// whole files and their output, so they move every byte once and allocate nothing of their own.

#include <cstddef>
#include <string>
#include <string_view>

// Appends text that arrives in pieces with every line break (LF, CR LF, or a lone CR) as CR LF.
class CrLfAppender {
public:
    explicit CrLfAppender(std::string& out) : m_out(out) {}
    void Append(std::string_view piece);
    // After the last piece: a CR that ended it is a line break too.
    void Finish();

private:
    std::string& m_out;
    bool m_cr_pending = false; // the last piece ended with a CR; the next may begin with its LF
};

// `text` with every line break as CR LF.
std::string WithCrLf(std::string_view text);

// CR LF as LF, in place; other CRs stay. Returns the new size.
std::size_t ToLfInPlace(char* data, std::size_t size) noexcept;
void ToLf(std::string& text);

// How many lines `text` holds: one for each line feed, and one more when text follows the last
// (CR LF and LF alike end a line; a lone CR does not).
std::size_t CountLines(std::string_view text) noexcept;
