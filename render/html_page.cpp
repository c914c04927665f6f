#include "render/html_page.h"

std::string EscapeHtmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

std::string BuildHtmlPage(std::string_view title, std::string_view body,
                          std::string_view style_sheet) {
    std::string page;
    page.reserve(body.size() + style_sheet.size() + title.size() + 128);
    page += "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>";
    page += EscapeHtmlText(title);
    page += "</title>\n";
    if (!style_sheet.empty()) {
        page += style_sheet;
        if (page.back() != '\n') {
            page += '\n';
        }
    }
    page += "</head>\n<body>\n";
    page += body;
    if (!body.empty() && page.back() != '\n') {
        page += '\n';
    }
    page += "</body>\n</html>\n";
    return page;
}
