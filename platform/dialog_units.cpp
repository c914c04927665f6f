#include "platform/dialog_units.h"

#include <cstdint>

namespace platform {

BaseUnits BaseUnitsOf(int alphabet_width, int height) {
    return BaseUnits{(alphabet_width / 26 + 1) / 2, height};
}

QRect MapDialogRect(BaseUnits units, int x, int y, int width, int height) {
    // Rounded to the nearest pixel, like a multiply-then-divide of the platform.
    const auto scale = [](int value, int base, int per) {
        const int64_t product = int64_t(value) * base;
        return int((product >= 0 ? product + per / 2 : product - per / 2) / per);
    };
    return QRect(scale(x, units.x, 4), scale(y, units.y, 8), scale(width, units.x, 4),
                 scale(height, units.y, 8));
}

} // namespace platform
