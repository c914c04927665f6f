#include "platform/cell_font.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>

#include <vector>

namespace platform {

namespace {

// What the user sees counts, not what the face claims: some fixed-pitch faces do not say so.
bool AdvancesAlike(const QFont& font) {
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(u'i') == metrics.horizontalAdvance(u'W');
}

// The largest size, in steps far below a pixel, whose cell is at most `cell` pixels high.
void FitCell(QFont& font, int cell) {
    double fits = 0;
    double too_big = cell; // a point is at least a pixel at any usual resolution
    for (int step = 0; step < 16; ++step) {
        const double size = (fits + too_big) / 2;
        font.setPointSizeF(size);
        if (QFontMetrics(font).height() <= cell) {
            fits = size;
        } else {
            too_big = size;
        }
    }
    font.setPointSizeF(fits > 0 ? fits : too_big);
}

} // namespace

bool MakeCellFont(const FontSpec& spec, QFont& font) {
    if (spec.cell_height <= 0) {
        return false;
    }
    QFont wanted(QString::fromUtf8(spec.face));
    // Where the face is missing, the font system's stand-in is a fixed-pitch one.
    wanted.setStyleHint(QFont::TypeWriter);
    std::vector<QFont> candidates{wanted};
    if (spec.monospace_fallback) {
        candidates.push_back(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    }
    for (QFont& candidate : candidates) {
        FitCell(candidate, spec.cell_height);
        if (AdvancesAlike(candidate)) {
            font = candidate;
            return true;
        }
    }
    return false;
}

} // namespace platform
