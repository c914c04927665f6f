#include "themes/contrast.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// An sRGB channel of 0 to 255 in linear light, 0 to 1.
double Linear(uint32_t channel) {
    const double c = double(channel & 0xFF) / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

struct Lab {
    double l, a, b;
};

Lab ToLab(uint32_t rgb) {
    const double r = Linear(rgb >> 16), g = Linear(rgb >> 8), b = Linear(rgb);
    // sRGB to XYZ, then relative to the D65 white.
    const double x = (0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / 0.95047;
    const double y = 0.2126729 * r + 0.7151522 * g + 0.0721750 * b;
    const double z = (0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / 1.08883;
    const auto f = [](double t) {
        constexpr double e = 216.0 / 24389.0, k = 24389.0 / 27.0;
        return t > e ? std::cbrt(t) : (k * t + 16.0) / 116.0;
    };
    const double fx = f(x), fy = f(y), fz = f(z);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

} // namespace

double RelativeLuminance(uint32_t rgb) noexcept {
    return 0.2126 * Linear(rgb >> 16) + 0.7152 * Linear(rgb >> 8) + 0.0722 * Linear(rgb);
}

double ContrastRatio(uint32_t a, uint32_t b) noexcept {
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

double ColourDifference(uint32_t a, uint32_t b) noexcept {
    const Lab p = ToLab(a), q = ToLab(b);
    return std::sqrt((p.l - q.l) * (p.l - q.l) + (p.a - q.a) * (p.a - q.a) +
                     (p.b - q.b) * (p.b - q.b));
}

bool IsDarkBackground(uint32_t background) noexcept {
    return ContrastRatio(0xFFFFFF, background) > ContrastRatio(0x000000, background);
}

uint32_t EdgeColour(uint32_t mark, uint32_t background) noexcept {
    const bool lighten = IsDarkBackground(background);
    double scale = 1.0;
    uint32_t edge = mark & 0xFFFFFF;
    while (ContrastRatio(edge, background) < kMinEdgeContrast && scale > 0.0) {
        scale -= 0.02;
        const double s = std::max(scale, 0.0);
        edge = 0;
        for (int shift = 16; shift >= 0; shift -= 8) {
            const double c = double((mark >> shift) & 0xFF);
            const double v = lighten ? 255.0 - (255.0 - c) * s : c * s;
            edge |= uint32_t(v + 0.5) << shift;
        }
    }
    return edge;
}

std::string ContrastText(double ratio) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f:1", std::floor(ratio * 10.0 + 1e-9) / 10.0);
    return text;
}
