#pragma once
// The keyword sets of the keyword box's "Insert keywords" menu: each language's reserved words,
// read from res/keyword_sets.txt, which the build puts into the program.

#include <string>
#include <string_view>
#include <vector>

struct KeywordSet {
    std::string name;  // as the menu shows it
    std::string words; // joined by one space each, as the keyword box takes them
};

// The sets of keyword_sets.txt's text: "[name]" starts a set, its words follow separated by
// white space, and lines that begin with ";" are comments. Words before the first set are
// dropped.
std::vector<KeywordSet> ParseKeywordSets(std::string_view text);

// The program's sets, in menu order.
const std::vector<KeywordSet>& TarvoKeywordSets();
