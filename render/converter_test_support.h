#pragma once
// Shared by the converter's tests: settings, an observer that records, a rule-by-rule reference
// scan, random sources and what a browser would show of a result.

#include "base/format.h"
#include "base/memory.h"
#include "render/converter.h"
#include "settings/cpp_defaults.h"
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

inline void SetDefaults(ProfileSettings& s, const char* keywords = kCppDefaultKeywords) {
    SetCppDefaults(s);
    ASSERT_EQ(s.SetKeywords(keywords), 1);
}

struct Recorder : ConvertObserver {
    std::vector<std::pair<NoticeStyle, std::string>> notices;
    std::vector<std::string> escaped;
    std::vector<int32_t> progress;
    void Notice(NoticeStyle style, const char* text) override { notices.emplace_back(style, text); }
    void EscapeDone(std::string_view text) override { escaped.emplace_back(text); }
    void Progress(int32_t position) override { progress.push_back(position); }
};

inline std::string Convert(ProfileSettings& s, const std::string& source, int css,
                           Recorder* recorder = nullptr) {
    std::string html;
    EXPECT_EQ(ConvertSource(s, source, css, html, recorder), 1);
    return html;
}

// The scan written out one rule after another, without any of the converter's shortcuts: the
// converter must agree with it byte for byte, progress reports included.
struct Reference {
    std::string opening, keyword_open, comment_open, close, closing;
    std::vector<std::string> keywords; // longest first
    std::string tab;
    std::vector<int32_t> progress;

    static bool White(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
    static bool Boundary(char c) { return c != '\0' && std::strchr(" \t\n\r[]()+-*/<>.,;~", c); }
    static bool Identifier(char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' ||
               static_cast<unsigned char>(c) >= 0x80;
    }
    static std::string Escaped(const std::string& text) {
        std::string t;
        for (char c : text) {
            t += c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '&' ? "&amp;" : std::string(1, c);
        }
        return t;
    }

    // The end of the raw string whose opening quote is at p in the escaped text t (past its
    // closing quote, or the end of t), or npos when the quote opens none.
    static std::size_t RawEnd(const std::string& t, std::size_t p) {
        std::size_t word = p;
        while (word > 0 && Identifier(t[word - 1])) {
            --word;
        }
        const std::string prefix = t.substr(word, p - word);
        if (prefix != "R" && prefix != "u8R" && prefix != "uR" && prefix != "UR" &&
            prefix != "LR") {
            return std::string::npos;
        }
        std::string delimiter; // as in the source
        std::size_t q = p + 1;
        for (; q < t.size() && t[q] != '('; ++q) {
            char c = t[q];
            for (const char* entity : {"&lt;", "&gt;", "&amp;"}) {
                if (t.compare(q, std::strlen(entity), entity) == 0) {
                    c = entity[1] == 'l' ? '<' : entity[1] == 'g' ? '>' : '&';
                    q += std::strlen(entity) - 1;
                    break;
                }
            }
            if (std::strchr(" )\\\t\n\r\v\f", c) != nullptr && c != '\0') {
                return std::string::npos;
            }
            delimiter += c;
        }
        if (q >= t.size() || delimiter.size() > 16) {
            return std::string::npos;
        }
        const std::string close = ")" + Escaped(delimiter) + "\"";
        const std::size_t end = t.find(close, q + 1);
        return end == std::string::npos ? t.size() : end + close.size();
    }

    Reference(const ProfileSettings& s, bool css) {
        char buffer[512];
        const char* percent = s.b_table_width_percent ? "%" : "";
        if (css) {
            if (s.b_use_table) {
                std::snprintf(buffer, sizeof buffer,
                              "<table cellspacing=\"0\" class=\"cpp\" align=\"center\" "
                              "cellpadding=\"10\" width=\"%d%s\" border=\"2\"><tr><td><pre>\r\n"
                              "<code class=\"cpp_text\">\r\n",
                              int(s.n_table_width), percent);
                opening = buffer;
                closing = "\r\n</code></pre></td></tr></table>\r\n";
            } else {
                opening = "<pre><code class=\"cpp_text\">\r\n";
                closing = "\r\n</code></pre>\r\n";
            }
            keyword_open = "<code class=\"cpp_keyword\">";
            comment_open = "<code class=\"cpp_comment\">";
            close = "</code>";
        } else {
            if (s.b_use_table) {
                std::snprintf(buffer, sizeof buffer,
                              "<table cellspacing=\"0\" bordercolorlight=\"#%06X\" "
                              "bordercolordark=\"#%06x\" align=\"center\" cellpadding=\"10\" "
                              "width=\"%d%s\" border=\"2\"><tr><td><pre>\r\n\r\n",
                              unsigned(s.n_table_lt_color), unsigned(s.n_table_dk_color),
                              int(s.n_table_width), percent);
                opening = buffer;
                closing = "\r\n</pre></td></tr></table>\r\n";
            } else {
                opening = "<pre>\r\n";
                closing = "\r\n</pre>\r\n";
            }
            std::snprintf(buffer, sizeof buffer, "<font color=\"#%06X\">",
                          unsigned(s.n_keyword_color));
            keyword_open = buffer;
            std::snprintf(buffer, sizeof buffer, "<font color=\"#%06X\">",
                          unsigned(s.n_comment_color));
            comment_open = buffer;
            close = "</font>";
        }
        for (int32_t i = 0; i < s.KeywordCount(); ++i) {
            keywords.emplace_back(s.Keyword(i));
        }
        std::stable_sort(keywords.begin(), keywords.end(),
                         [](const auto& a, const auto& b) { return a.size() > b.size(); });
        tab = s.n_tab_size < 0 ? "\t" : std::string(std::size_t(std::min(s.n_tab_size, 255)), ' ');
    }

    std::string Run(const std::string& source) {
        std::string t = opening;
        for (std::size_t j = 0; j < source.size(); ++j) {
            const char c = source[j];
            t += c == '\t'  ? tab
                 : c == '>' ? "&gt;"
                 : c == '<' ? "&lt;"
                 : c == '&' ? "&amp;"
                            : std::string(1, c);
            if (j % 256 == 0) {
                progress.push_back(int32_t((long long)j * 512 / (long long)source.size()));
            }
        }
        const std::size_t L = t.size();
        std::string out;
        bool str = false, line = false, block = false, pending = false, kw = false;
        std::size_t raw_end = 0; // a raw string runs up to here
        std::size_t p = 0;
        while (p < L) {
            if (p % 256 == 0) {
                progress.push_back(int32_t((long long)p * 512 / (long long)L + 512));
            }
            const char ch = t[p];
            const std::size_t r = L - p - 1;
            if (p < raw_end) {
                out += ch;
                ++p;
                continue;
            }
            if (!line && !block && str && ch == '\n' && !(p >= 1 && t[p - 1] == '\\') &&
                !(p >= 2 && t[p - 1] == '\r' && t[p - 2] == '\\')) {
                str = false;
            }
            if (!line && !block && ch == '"') {
                std::size_t backslashes = 0;
                while (backslashes < p && t[p - 1 - backslashes] == '\\') {
                    ++backslashes;
                }
                const bool char_constant =
                    !str && p > 0 && t[p - 1] == '\'' && r > 0 && t[p + 1] == '\'';
                const std::size_t raw =
                    str || backslashes % 2 != 0 ? std::string::npos : RawEnd(t, p);
                if (raw != std::string::npos) {
                    raw_end = raw;
                } else if (backslashes % 2 == 0 && !char_constant) {
                    str = !str;
                }
            }
            if (pending && !White(ch)) {
                out += close;
                pending = false;
            }
            if (kw && !White(ch)) {
                out += close;
                kw = false;
            }
            if (!str && !block && !line && ch == '/' && r > 0 && t[p + 1] == '/') {
                out += comment_open;
                line = true;
                pending = false;
            }
            if (line && ch == '\n') {
                line = false;
                pending = true;
            }
            if (str || line || p < raw_end) {
                out += ch;
                ++p;
                continue;
            }
            if (ch == '/' && r > 0 && t[p + 1] == '*' && !block) {
                out += comment_open;
                block = true;
                pending = false;
            }
            if (ch == '*' && r > 0 && t[p + 1] == '/') {
                pending = block;
                block = false;
                out += "*/";
                p += 2;
                continue;
            }
            if (block) {
                out += ch;
                ++p;
                continue;
            }
            if (p > 0 && !Boundary(t[p - 1])) {
                out += ch;
                ++p;
                continue;
            }
            bool matched = false;
            for (const auto& k : keywords) {
                const std::size_t n = k.size();
                if (n == 0 || t.compare(p, n, k) != 0 || p + n > L) {
                    continue;
                }
                // In the source every punctuator's character and every entity ends a keyword;
                // in the opening piece only the boundaries and escaped angle brackets do.
                const bool ends =
                    p + n == L || Boundary(t[p + n]) ||
                    (p + n >= opening.size()
                         ? t[p + n] != '\0' && std::strchr(":&!{}=\"'?%^|#", t[p + n]) != nullptr
                         : t.compare(p + n, 4, "&lt;") == 0 || t.compare(p + n, 4, "&gt;") == 0);
                if (!ends) {
                    continue;
                }
                if (!kw) {
                    out += keyword_open;
                }
                kw = true;
                out += k;
                p += n;
                matched = true;
                break;
            }
            if (!matched) {
                out += ch;
                ++p;
            }
        }
        if (pending || line || block) {
            out += close;
        }
        if (kw) {
            out += close;
        }
        return out + closing;
    }
};

// A raw string literal, most often well formed: a prefix that may be part of a longer word, a
// delimiter that may be too long or hold a character it must not, a body with quotes, comment
// marks, line breaks and closings of other delimiters, and a closing that may be missing.
inline std::string RandomRawString(std::mt19937& rng) {
    static const char* const prefixes[] = {"",  "",  "u8",   "u",   "U", "L", "x",
                                           "1", "$", "\xE9", "uu8", "=", "<"};
    static const char delimiter_chars[] = "ab<&\"_ab<&\"_ab<&\"_\t )\\\n\v";
    static const char body_chars[] = ")\"/*\n\r\t\\' xa<&";
    std::string delimiter;
    const std::size_t size = rng() % 4 == 0 ? rng() % 19 : rng() % 3;
    for (std::size_t i = 0; i < size; ++i) {
        const std::size_t n = sizeof delimiter_chars - 1;
        delimiter += delimiter_chars[rng() % 8 == 0 ? rng() % n : rng() % (n - 6)];
    }
    std::string text = std::string(prefixes[rng() % std::size(prefixes)]) + "R\"" + delimiter;
    text += rng() % 8 == 0 ? "" : "(";
    for (std::size_t i = rng() % 12; i > 0; --i) {
        if (rng() % 6 == 0) {
            text += ')';
            text.append(delimiter, 0, delimiter.size() / 2);
            text += '"';
        } else {
            text += body_chars[rng() % (sizeof body_chars - 1)];
        }
    }
    if (rng() % 6 != 0) {
        text += ")" + delimiter + "\"";
    }
    return text;
}

inline std::string RandomText(std::mt19937& rng, std::size_t length,
                              const std::vector<std::string>& words) {
    static const char pieces[] = " \t\r\n\"'\\/*<>&;(){}=#:.,";
    std::string text;
    while (text.size() < length) {
        switch (rng() % 9) {
        case 8:
            text += RandomRawString(rng);
            break;
        case 0:
        case 1:
            text += words[rng() % words.size()];
            break;
        case 2:
            text += char(0x80 + rng() % 128);
            break;
        case 3:
            text += char('a' + rng() % 4);
            break;
        default:
            text += pieces[rng() % (sizeof pieces - 1)];
            break;
        }
    }
    return text;
}

// Everything between < and >, and the three entities decoded: what a browser shows as text.
inline std::string VisibleText(const std::string& html) {
    std::string text;
    bool in_tag = false;
    for (char c : html) {
        if (c == '<') {
            in_tag = true;
        } else if (c == '>') {
            in_tag = false;
        } else if (!in_tag) {
            text += c;
        }
    }
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 4, "&lt;") == 0) {
            decoded += '<';
            i += 3;
        } else if (text.compare(i, 4, "&gt;") == 0) {
            decoded += '>';
            i += 3;
        } else if (text.compare(i, 5, "&amp;") == 0) {
            decoded += '&';
            i += 4;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}
