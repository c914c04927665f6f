#include "render/latex_text.h"

#include "base/format.h"
#include "render/buffered_text.h"
#include "render/byte_runs.h"
#include "render/css_rules.h"
#include "render/rendition.h"
#include "text/utf8.h"

#include <cctype>

namespace {

// Copied as they are: printable ASCII but \ { } ' and ` (macros), and the tab, which Verbatim
// spaces out itself.
using Runs = ByteRuns<true, false, '\\', '{', '}', '\'', '`'>;

// The name of a class in the macros and colours ("keyword" of cpp_keyword).
std::string_view ClassName(SpanClass c) {
    return std::string_view(CssClassName(c)).substr(4);
}

std::string ColourName(std::string_view name) {
    std::string colour = "Tarvo";
    colour += char(std::toupper(static_cast<unsigned char>(name[0])));
    colour += name.substr(1);
    return colour;
}

void DefineColour(std::string& out, const std::string& name, uint32_t colour) {
    tarvo::AppendFormat(out, "\\definecolor{%s}{HTML}{%06X}\n", name.c_str(),
                        unsigned(colour & 0xFFFFFF));
}

// The font size in points (3 per 4 pixels) and a fifth more for the lines; written without the
// locale's decimal point, which TeX would not read.
std::string FontSize(int32_t pixels) {
    const long long size = (long long)pixels * 75; // hundredths of a point
    const long long line = (long long)pixels * 90;
    return tarvo::Format("\\fontsize{%lld.%02lldpt}{%lld.%02lldpt}\\selectfont", size / 100,
                         size % 100, line / 100, line % 100);
}

class LatexFormat {
public:
    // A line's end as text is what LineEnd writes for it: a line feed (Text turns a CR LF into
    // one).
    static constexpr bool kLineEndIsText = true;
    static constexpr bool kEscapedText = false;

    explicit LatexFormat(std::string& out) : m_out(out) {
        for (std::size_t i = 1; i < kSpanClassCount; ++i) {
            m_open[i] = "\\TV" + std::string(ClassName(SpanClass(i))) + "{";
        }
    }

    bool Failed() const { return m_out.Failed(); }
    // Puts what waits into the output. False when memory ran out.
    bool Flush() { return m_out.Flush(); }
    void Text(const char* data, std::size_t length) {
        const auto* p = reinterpret_cast<const unsigned char*>(data);
        std::size_t i = 0;
        while (i < length) {
            const std::size_t run = i;
            i = Runs::RunEnd(data, i, length);
            m_out.Append(data + run, i - run);
            if (i < length) {
                i = Special(p, length, i);
            }
        }
    }
    void Open(SpanClass c) { m_out.Append(m_open[ClassIndex(c)]); }
    void Close(SpanClass) { m_out.Append('}'); }
    // Verbatim numbers the lines itself.
    void LineStart(bool marked, std::string_view) {
        if (marked) {
            m_out.Append("\\TVmark{");
        }
    }
    void LineEnd(bool marked, std::string_view) {
        if (marked) {
            m_out.Append('}');
        }
        m_out.Append('\n');
    }
    std::string_view NumberOpen() const { return {}; }
    std::string_view NumberClose() const { return {}; }
    void OpeningText(std::size_t, std::size_t) {}
    void OpeningTag(SpanClass, bool, std::size_t) {}
    void BodyStart() {}
    void ForeignClose(SpanClass) {}

private:
    std::size_t Special(const unsigned char* p, std::size_t length, std::size_t i) {
        switch (p[i]) {
        case '\\':
            m_out.Append("\\TVbs{}");
            return i + 1;
        case '{':
            m_out.Append("\\TVob{}");
            return i + 1;
        case '}':
            m_out.Append("\\TVcb{}");
            return i + 1;
        case '\'':
            m_out.Append("\\TVsq{}");
            return i + 1;
        case '`':
            m_out.Append("\\TVbq{}");
            return i + 1;
        case '\n':
            m_out.Append('\n');
            return i + 1;
        case '\r':
            if (i + 1 < length && p[i + 1] == '\n') {
                m_out.Append('\n');
                return i + 2;
            }
            break;
        default:
            break;
        }
        if (p[i] < 0x80) {
            // A control character (a lone CR among them) would end or break the line.
            m_out.Append(tarvo::Format("\\TVu{%04X}{}", unsigned(p[i])));
            return i + 1;
        }
        const Utf8Char ch = DecodeUtf8(p + i, p + length);
        const uint32_t code = ch.length == 0 ? p[i] : ch.code; // else Latin-1
        m_out.Append(tarvo::Format("\\TVu{%04X}{", unsigned(code)));
        if (ch.length != 0) {
            m_out.Append(reinterpret_cast<const char*>(p + i), ch.length);
        } else {
            m_out.Append(char(0xC0 | (code >> 6)));
            m_out.Append(char(0x80 | (code & 0x3F)));
        }
        m_out.Append('}');
        return i + (ch.length == 0 ? 1 : ch.length);
    }

    BufferedText m_out;
    std::string m_open[kSpanClassCount]; // each class's macro and its opening brace
};

int Build(std::string_view source, const ProfileSettings& settings, const StyleRecord& style,
          std::string& latex, ConvertObserver* observer) {
    Prepared prepared;
    if (!Prepare(settings, style, source, true, observer, prepared)) {
        return 0;
    }
    LatexFormat format(latex);
    Rendition<LatexFormat> writer(format, prepared, style, source, true);
    if (!writer.Start()) {
        return 0;
    }
    // The escapes and each marked line's macro: the output never moves as it grows.
    const std::size_t text = prepared.escaped.size() - prepared.source_start;
    if (!ReserveOutput(latex, text + text / 2 + writer.Lines() * 16 + 4096)) {
        return 0;
    }
    const bool box = style.Of(SpanClass::Text).background.has_value();
    latex += box ? "\\begin{TarvoBox}\n\\begin{TarvoCode}" : "\\begin{TarvoCode}";
    if (style.numbers) {
        tarvo::AppendFormat(latex, "[numbers=left,firstnumber=%lld]",
                            static_cast<long long>(style.first_line));
    }
    latex += '\n';
    if (!Scan(prepared, writer.Sink(), observer)) {
        return 0;
    }
    writer.Finish();
    if (!format.Flush()) {
        return 0;
    }
    if (latex.back() != '\n') {
        latex += '\n';
    }
    latex += box ? "\\end{TarvoCode}\n\\end{TarvoBox}\n" : "\\end{TarvoCode}\n";
    return 1;
}

} // namespace

std::string BuildLatexPreamble(const StyleRecord& style) {
    std::string out = "\\usepackage[utf8]{inputenc}\n"
                      "\\usepackage{xcolor}\n"
                      "\\usepackage{fancyvrb}\n";
    const ClassStyle& text = style.Of(SpanClass::Text);
    DefineColour(out, "TarvoText", text.colour);
    DefineColour(out, "TarvoBackground", text.background.value_or(0xFFFFFF));
    for (std::size_t i = 1; i < kSpanClassCount; ++i) {
        const ClassStyle& look = style.classes[i];
        if (!look.on) {
            continue;
        }
        const std::string_view name = ClassName(SpanClass(i));
        const std::string colour = ColourName(name);
        DefineColour(out, colour, look.colour);
        std::string body = "\\textcolor{" + colour + "}{";
        body += look.bold ? "\\textbf{" : "";
        body += look.italic ? "\\textit{" : "";
        body += "#1";
        body += look.italic ? "}" : "";
        body += look.bold ? "}" : "";
        body += "}";
        if (look.background) {
            DefineColour(out, colour + "Background", *look.background);
            body =
                "{\\setlength{\\fboxsep}{0pt}\\colorbox{" + colour + "Background}{" + body + "}}";
        }
        out += "\\newcommand{\\TV";
        out += name;
        out += "}[1]{" + body + "}\n";
    }
    DefineColour(out, "TarvoFrame", style.frame_dark);
    DefineColour(out, "TarvoNumber", style.number_colour);
    DefineColour(out, "TarvoMark", style.mark_colour);
    DefineColour(out, "TarvoMarkEdge", style.mark_edge);
    // The characters that Verbatim with commandchars cannot take as they are. The straight
    // quote and the grave accent are the typewriter font's own where its encoding is OT1, so
    // that they come out (and are copied) as typed.
    out += "\\makeatletter\n"
           "\\def\\TVbs{\\char`\\\\}\n"
           "\\def\\TVob{\\char`\\{}\n"
           "\\def\\TVcb{\\char`\\}}\n"
           "\\def\\TV@OT{OT1}\n"
           "\\def\\TVsq{\\ifx\\f@encoding\\TV@OT\\char13 \\else\\textquotesingle\\fi}\n"
           "\\def\\TVbq{\\ifx\\f@encoding\\TV@OT\\char18 \\else\\textasciigrave\\fi}\n"
           // A character beyond ASCII where LaTeX can set it, else its code.
           "\\def\\TVu#1#2{\\ifcsname u8:\\detokenize{#2}\\endcsname#2\\else"
           "\\ifdefined\\XeTeXrevision#2\\else\\ifdefined\\directlua#2\\else"
           "{\\scriptsize U+#1}\\fi\\fi\\fi}\n"
           "\\makeatother\n";
    // A marked line: its background behind its text, an edge in the margin beside it.
    out += "\\newcommand{\\TVmark}[1]{\\llap{\\textcolor{TarvoMarkEdge}{\\vrule width 2pt "
           "height \\ht\\strutbox depth \\dp\\strutbox}\\hspace{2pt}}"
           "{\\setlength{\\fboxsep}{0pt}\\colorbox{TarvoMark}{\\strut#1}}}\n"
           "\\renewcommand{\\theFancyVerbLine}{\\textcolor{TarvoNumber}"
           "{\\arabic{FancyVerbLine}}}\n";
    out += "\\DefineVerbatimEnvironment{TarvoCode}{Verbatim}{commandchars=\\\\\\{\\},"
           "formatcom=\\color{TarvoText}";
    out += text.bold ? "\\bfseries" : "";
    out += text.italic ? "\\itshape" : "";
    if (style.font_size > 0) {
        out += ",fontsize=" + FontSize(style.font_size);
    }
    if (style.frame) {
        out += ",frame=single,framerule=1.5pt,rulecolor=\\color{TarvoFrame},framesep=7.5pt";
    }
    out += "}\n";
    // The code box's background, where the style has one.
    out += "\\newsavebox{\\TarvoSaved}\n"
           "\\newenvironment{TarvoBox}{\\par\\noindent\\begin{lrbox}{\\TarvoSaved}"
           "\\begin{minipage}{\\dimexpr\\linewidth-10pt\\relax}}{\\end{minipage}\\end{lrbox}"
           "{\\setlength{\\fboxsep}{5pt}\\colorbox{TarvoBackground}{\\usebox{\\TarvoSaved}}}}\n";
    return out;
}

std::string BuildLatexPreamble(const ProfileSettings& settings) {
    StyleRecord style;
    return BuildStyle(settings, style) ? BuildLatexPreamble(style) : std::string();
}

int BuildLatex(std::string_view source, const ProfileSettings& settings, const StyleRecord& style,
               std::string& latex, ConvertObserver* observer) {
    latex.clear();
    const int result =
        CatchingMemory([&] { return Build(source, settings, style, latex, observer); });
    if (result == 0) {
        std::string().swap(latex);
    }
    return result;
}

int BuildLatex(std::string_view source, const ProfileSettings& settings, std::string& latex,
               ConvertObserver* observer) {
    StyleRecord style;
    if (!BuildStyle(settings, style)) {
        std::string().swap(latex);
        return 0;
    }
    return BuildLatex(source, settings, style, latex, observer);
}

int BuildLatexDocument(std::string_view source, const ProfileSettings& settings, std::string& latex,
                       ConvertObserver* observer) {
    StyleRecord style;
    if (!BuildStyle(settings, style)) {
        std::string().swap(latex);
        return 0;
    }
    return BuildLatexDocument(source, settings, style, latex, observer);
}

int BuildLatexDocument(std::string_view source, const ProfileSettings& settings,
                       const StyleRecord& style, std::string& latex, ConvertObserver* observer) {
    std::string fragment;
    if (!BuildLatex(source, settings, style, fragment, observer)) {
        std::string().swap(latex);
        return 0;
    }
    return CatchingMemory([&] {
        latex = "\\documentclass{article}\n"
                "\\usepackage[margin=2cm]{geometry}\n";
        latex += BuildLatexPreamble(style);
        if (style.Of(SpanClass::Text).background) {
            // A theme's background is the page's too, so that a dark code box sits on no white.
            latex += "\\pagecolor{TarvoBackground}\n";
        }
        latex += "\\pagestyle{empty}\n\\begin{document}\n";
        latex += fragment;
        latex += "\\end{document}\n";
        return 1;
    });
}
