// The line-end passes against their plain definitions, on random texts cut into random pieces.

#include "text/line_ends.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

TEST(LineEnds, CrLfInAndLfOutGiveWhatTheirPlainFormsGive) {
    std::mt19937 random(11);
    const char* const pieces[] = {"a",    "int x;", "\r", "\n",
                                  "\r\n", "\n\r",   "\t", "xxxxxxxxxxxxxxx"};
    for (int round = 0; round < 1000; ++round) {
        std::string text;
        // Now and then a long one, for the passes that read many bytes at a time.
        for (int n = int(random() % (round % 100 == 0 ? 3000 : 30)); n > 0; --n) {
            text += pieces[random() % std::size(pieces)];
        }
        std::string crlf_plain;
        std::string lf_plain;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const bool pair = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
            crlf_plain += text[i] == '\r' || text[i] == '\n' ? "\r\n" : std::string(1, text[i]);
            i += pair;
            lf_plain += pair ? "\n" : std::string(1, text[i]);
        }
        // Read in pieces: a CR LF may be cut between two of them.
        std::string crlf;
        CrLfAppender appender(crlf);
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t length = 1 + random() % 12;
            appender.Append(std::string_view(text).substr(at, length));
            at += length;
        }
        appender.Finish();
        ASSERT_EQ(crlf, crlf_plain);
        ASSERT_EQ(WithCrLf(text), crlf_plain);
        std::string lf = text;
        ToLf(lf);
        ASSERT_EQ(lf, lf_plain);
        const auto feeds = std::size_t(std::count(text.begin(), text.end(), '\n'));
        ASSERT_EQ(CountLines(text), feeds + (!text.empty() && text.back() != '\n' ? 1 : 0));
    }
}
