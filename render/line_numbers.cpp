#include "render/line_numbers.h"

#include "base/format.h"
#include "base/memory.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <new>

namespace {

std::size_t Digits(int64_t n) {
    std::size_t d = 1;
    for (; n >= 10; n /= 10) {
        ++d;
    }
    return d;
}

} // namespace

bool LineNumbering::Start(const StyleRecord& style, std::size_t count, std::string_view before,
                          std::string_view after) noexcept {
    try {
        m_marks = style.marks;
        m_next_mark = 0;
        m_number = style.first_line;
        const int64_t last = m_number + std::max<int64_t>(int64_t(count) - 1, 0);
        m_width = Digits(last);
        char digits[24];
        const int n =
            std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(m_number));
        m_text.assign(before);
        m_digits = m_text.size();
        m_text.append(m_width - std::size_t(n), ' ');
        m_text.append(digits, std::size_t(n));
        m_text.append(after);
        return true;
    } catch (const std::exception&) {
        return false; // bad_alloc
    }
}

bool LineNumbering::Start(const ProfileSettings& s, std::size_t count, std::string_view before,
                          std::string_view after) noexcept {
    StyleRecord style;
    return BuildStyle(s, style) != 0 && Start(style, count, before, after);
}

bool LineNumbering::Marked() noexcept {
    while (m_next_mark < m_marks.size() && m_marks[m_next_mark].last < m_number) {
        ++m_next_mark;
    }
    return m_next_mark < m_marks.size() && m_marks[m_next_mark].first <= m_number;
}

void LineNumbering::Next() noexcept {
    ++m_number;
    for (std::size_t i = m_digits + m_width; i-- > m_digits;) {
        if (m_text[i] == ' ') {
            m_text[i] = '1';
            return;
        }
        if (m_text[i] != '9') {
            ++m_text[i];
            return;
        }
        m_text[i] = '0';
    }
}
