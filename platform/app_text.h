#pragma once
// Text and numbers between the program's form and the toolkit's: the program speaks UTF-8 with
// CR LF line ends and reads numbers the way a dialog reads them; the toolkit holds QStrings with
// LF (or paragraph and line separators). Needs QtCore only.

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Text as the program sees it (UTF-8, every line break CR LF) from text as the toolkit holds it.
// A CR LF stays one line break; a lone LF and U+2028/U+2029 become CR LF; a lone CR stays.
std::string ToAppText(const QString& text);
// The program's text for the toolkit: UTF-8 decoded, CR LF as LF.
QString FromAppText(std::string_view text);

// The text read as a decimal number: leading spaces skipped, a minus sign when `is_signed`, then
// digits up to the first other character. No number, or one out of range (int32 when signed,
// uint32 otherwise), gives 0 and `*translated` false; `translated` may be null.
int32_t ParseDlgInt(const QString& text, bool* translated, bool is_signed);
// Decimal digits, with a leading "-" for a negative value when `is_signed`; unsigned shows the
// value's 32 bits as an unsigned number.
QString FormatDlgInt(int32_t value, bool is_signed);

} // namespace platform
