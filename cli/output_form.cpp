#include "cli/output_form.h"

#include "render/ansi_text.h"
#include "render/latex_text.h"
#include "render/rtf_text.h"

OutputForm FormOfOption(std::string_view option) noexcept {
    return option == "--rtf"     ? OutputForm::Rtf
           : option == "--latex" ? OutputForm::Latex
           : option == "--ansi"  ? OutputForm::Ansi
                                 : OutputForm::Html;
}

const char* FormProblem(OutputForm form, bool font_markup, bool style_sheet, bool batch,
                        bool fragment) noexcept {
    switch (form) {
    case OutputForm::Html:
        return nullptr;
    case OutputForm::Rtf:
        if (font_markup || style_sheet) {
            return "--rtf takes neither --font-markup nor --style-sheet";
        }
        return batch && fragment ? "--rtf takes no --fragment" : nullptr;
    case OutputForm::Latex:
        return font_markup ? "--latex takes no --font-markup" : nullptr;
    case OutputForm::Ansi:
        if (font_markup || style_sheet) {
            return "--ansi takes neither --font-markup nor --style-sheet";
        }
        return batch ? "-d takes no --ansi" : nullptr;
    }
    return nullptr;
}

std::string_view PageExtension(OutputForm form) noexcept {
    return form == OutputForm::Rtf ? ".rtf" : form == OutputForm::Latex ? ".tex" : ".html";
}

int ConvertInForm(OutputForm form, ProfileSettings& settings, std::string_view source, int b_css,
                  bool document, std::string& out, ConvertObserver* observer) {
    // Only the HTML is HTML: the others are written straight from the source, and no note on
    // the HTML's length comes with them.
    switch (form) {
    case OutputForm::Rtf:
        return BuildRtf(source, settings, b_css, out, observer);
    case OutputForm::Latex:
        return document ? BuildLatexDocument(source, settings, out, observer)
                        : BuildLatex(source, settings, out, observer);
    case OutputForm::Ansi:
        return BuildAnsi(source, settings, out, observer);
    case OutputForm::Html:
        break;
    }
    return ConvertSource(settings, source, b_css, out, observer);
}

int ConvertInForm(OutputForm form, ProfileSettings& settings, const StyleRecord* style,
                  std::string_view source, int b_css, bool document, std::string& out,
                  ConvertObserver* observer) {
    if (style == nullptr) {
        return ConvertInForm(form, settings, source, b_css, document, out, observer);
    }
    switch (form) {
    case OutputForm::Rtf:
        return BuildRtf(source, settings, *style, b_css, out, observer);
    case OutputForm::Latex:
        return document ? BuildLatexDocument(source, settings, *style, out, observer)
                        : BuildLatex(source, settings, *style, out, observer);
    case OutputForm::Ansi:
        return BuildAnsi(source, settings, *style, out, observer);
    case OutputForm::Html:
        break;
    }
    return ConvertSource(settings, *style, source, b_css, out, observer);
}
