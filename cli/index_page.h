#pragma once
// OUTDIR/index.html of a batch run: every converted file as a link to its page, by folder.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct IndexEntry {
    std::string relative; // the source's path below its folder, as bytes; its page adds the
                          // extension
    uint64_t size = 0;    // the source's size in bytes
};

// The page: one heading and one table per folder (folders in byte order, the top one first),
// each file a relative link (its path and `extension`) with its size. Plain HTML, no scripts.
std::string BuildIndexPage(std::vector<IndexEntry> entries, std::string_view extension = ".html");

// A file name's bytes as text for a page: itself when valid UTF-8, read as Latin-1 otherwise.
std::string NameAsText(std::string_view name);

// `path` as a relative URL: every byte but letters, digits, "-._~" and "/" percent-encoded.
std::string PathAsUrl(std::string_view path);
