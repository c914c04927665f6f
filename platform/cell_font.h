#pragma once
// The font of a box whose text must stand in columns.

#include "platform/dialog.h"

class QFont;

namespace platform {

// The face of `spec`, or what the font system shows in its place, when its letters advance
// alike as drawn (an "i" as far as a "W"); else, when `spec` allows it, the system's fixed-pitch
// face under the same test. Sized as large as fits a line cell (ascent plus descent) of
// `spec.cell_height` pixels. False, `font` unchanged, when no candidate passes.
bool MakeCellFont(const FontSpec& spec, QFont& font);

} // namespace platform
