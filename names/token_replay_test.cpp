#include "names/token_replay.h"

#include "base/memory.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using names::Token;
using names::TokenKind;

constexpr std::size_t kBatch = 64;

std::vector<Token> Drain(auto&& lex) {
    std::vector<Token> tokens;
    Token batch[kBatch];
    for (;;) {
        const std::size_t made = lex(batch);
        tokens.insert(tokens.end(), batch, batch + made);
        if (made < kBatch) {
            return tokens;
        }
    }
}

// Recorded as the first pass records, then played back: the lexer's tokens, whether the record
// holds them all or stops when memory runs out (the rest lexed on from where it stopped).
TEST(TokenReplay, PlaysBackTheLexersTokens) {
    const std::string pieces[] = {"a",
                                  "Foo9",
                                  "&lt;",
                                  "&gt;",
                                  "&amp;&amp;",
                                  "::",
                                  "(",
                                  ")",
                                  "{",
                                  ";",
                                  "\n",
                                  " ",
                                  "#define X(a)",
                                  "\"s\"",
                                  "'c'",
                                  "//c\n",
                                  "/* c */",
                                  "R\"x(&lt;)x\"",
                                  "\\\n",
                                  "0x1p-3",
                                  "const ",
                                  "class ",
                                  "abcdefghijklmnopqrstu",
                                  "->*",
                                  "\"" + std::string(70000, 'q') + "\""};
    std::mt19937 rng(8);
    for (int round = 0; round < 60; ++round) {
        std::string text = "<pre>";
        const int n = int(rng() % 3000);
        for (int i = 0; i < n; ++i) {
            text += pieces[rng() % (round % 4 == 0 ? 25 : 24)];
        }
        const std::vector<Token> lexed =
            Drain([&, lexer = names::NameLexer(text, 5, true)](Token* out) mutable {
                return lexer.Lex(out, kBatch);
            });

        const long refuse_after = round % 3 == 0 ? -1 : long(round % 3) - 1; // 0: never begun
        tarvo::InjectAllocationFailure(refuse_after);
        names::TokenReplay replay;
        replay.Begin(text, 16);
        names::NameLexer lexer(text, 5, true);
        Token batch[kBatch];
        bool recording = true;
        for (std::size_t made = kBatch; made == kBatch;) {
            recording = recording && replay.Room(kBatch, lexer);
            made = lexer.Lex(batch, kBatch);
            if (recording) {
                replay.Record(batch, made);
            }
        }
        tarvo::InjectAllocationFailure(-1);
        const std::vector<Token> played =
            Drain([&](Token* out) { return replay.Lex(out, kBatch); });

        ASSERT_EQ(played.size(), lexed.size());
        for (std::size_t i = 0; i < lexed.size(); ++i) {
            const Token& a = lexed[i];
            const Token& b = played[i];
            ASSERT_EQ(a.start, b.start) << i;
            ASSERT_EQ(a.end, b.end) << i;
            ASSERT_EQ(a.kind, b.kind) << i;
            ASSERT_EQ(a.op, b.op) << i;
            ASSERT_EQ(a.keyword, b.keyword) << i;
            ASSERT_EQ(a.line_start, b.line_start) << i;
            if (a.kind == TokenKind::Identifier && a.keyword == names::Keyword::None) {
                ASSERT_EQ(a.hash, b.hash) << i;
            }
        }
        ASSERT_EQ(played.back().kind, TokenKind::End);
    }
}

} // namespace
