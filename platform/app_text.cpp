#include "platform/app_text.h"

#include <QByteArray>

namespace platform {

std::string ToAppText(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    std::string out;
    out.reserve(std::size_t(utf8.size()) + std::size_t(utf8.size()) / 16);
    const char* p = utf8.constData();
    const char* const end = p + utf8.size();
    for (; p != end; ++p) {
        // U+2028 and U+2029, the toolkit's line and paragraph separators.
        if (*p == '\xE2' && end - p >= 3 && p[1] == '\x80' && (p[2] == '\xA8' || p[2] == '\xA9')) {
            out += "\r\n";
            p += 2;
        } else if (*p == '\n' && (out.empty() || out.back() != '\r')) {
            out += "\r\n";
        } else {
            out += *p;
        }
    }
    return out;
}

QString FromAppText(std::string_view text) {
    QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
    // In place, in one pass: QString::replace takes several times as long on a large text.
    QChar* const begin = s.data();
    const QChar* const end = begin + s.size();
    QChar* out = begin;
    for (const QChar* in = begin; in != end; ++in) {
        if (*in == u'\r' && in + 1 != end && in[1] == u'\n') {
            continue;
        }
        *out++ = *in;
    }
    s.truncate(out - begin);
    return s;
}

int32_t ParseDlgInt(const QString& text, bool* translated, bool is_signed) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i) == u' ') {
        ++i;
    }
    bool negative = false;
    if (is_signed && i < n && text.at(i) == u'-') {
        negative = true;
        ++i;
    }
    const int64_t limit = is_signed ? (negative ? 2147483648LL : 2147483647LL) : 4294967295LL;
    int64_t value = 0;
    bool digits = false;
    for (; i < n && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
        value = value * 10 + (text.at(i).unicode() - u'0');
        digits = true;
        if (value > limit) {
            digits = false;
            break;
        }
    }
    if (translated != nullptr) {
        *translated = digits;
    }
    if (!digits) {
        return 0;
    }
    return negative ? int32_t(-value) : int32_t(uint32_t(value));
}

QString FormatDlgInt(int32_t value, bool is_signed) {
    return is_signed ? QString::number(value) : QString::number(uint32_t(value));
}

} // namespace platform
