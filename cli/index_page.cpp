#include "cli/index_page.h"

#include "render/html_page.h"
#include "text/box_text.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr const char* kStyle = "<style>\n"
                               "body { font-family: sans-serif; }\n"
                               "td.size { text-align: right; padding-left: 2em; }\n"
                               "</style>\n";

std::string_view FolderOf(std::string_view relative) {
    const std::size_t slash = relative.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : relative.substr(0, slash);
}

std::string SizeText(uint64_t size) {
    char text[32];
    if (size < 1024) {
        std::snprintf(text, sizeof text, "%llu B", static_cast<unsigned long long>(size));
    } else if (size < 1024 * 1024) {
        std::snprintf(text, sizeof text, "%.1f KiB", double(size) / 1024);
    } else {
        std::snprintf(text, sizeof text, "%.1f MiB", double(size) / (1024 * 1024));
    }
    return text;
}

} // namespace

std::string NameAsText(std::string_view name) {
    return IsValidUtf8(name) ? std::string(name) : Latin1ToUtf8(name);
}

std::string PathAsUrl(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url;
    for (const char c : path) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') ||
            c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
            url += c;
        } else {
            url += '%';
            url += kHex[b >> 4];
            url += kHex[b & 15];
        }
    }
    return url;
}

std::string BuildIndexPage(std::vector<IndexEntry> entries, std::string_view extension) {
    std::stable_sort(entries.begin(), entries.end(), [](const IndexEntry& a, const IndexEntry& b) {
        return FolderOf(a.relative) < FolderOf(b.relative);
    });
    std::string body = "<h1>Sources</h1>\n";
    for (std::size_t i = 0; i < entries.size();) {
        const std::string_view folder = FolderOf(entries[i].relative);
        body += "<h2>" + EscapeHtmlText(NameAsText(folder.empty() ? "." : folder)) + "/</h2>\n";
        body += "<table>\n";
        for (; i < entries.size() && FolderOf(entries[i].relative) == folder; ++i) {
            const std::string& relative = entries[i].relative;
            const std::string_view name =
                std::string_view(relative).substr(folder.empty() ? 0 : folder.size() + 1);
            body += "<tr><td><a href=\"" + PathAsUrl(relative + std::string(extension)) + "\">" +
                    EscapeHtmlText(NameAsText(name)) + "</a></td><td class=\"size\">" +
                    SizeText(entries[i].size) + "</td></tr>\n";
        }
        body += "</table>\n";
    }
    return BuildHtmlPage("Sources", body, kStyle);
}
