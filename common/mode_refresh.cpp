#include "common/mode_refresh.h"

namespace tamaruka {

double modeRefreshHz(std::uint64_t dotClock, unsigned hTotal, unsigned vTotal, bool doubleScan,
                     bool interlace) {
    double lines = vTotal;
    if (doubleScan) lines *= 2;
    if (interlace) lines /= 2;
    if (dotClock == 0 || hTotal == 0 || lines == 0) return 0;
    return static_cast<double>(dotClock) / (static_cast<double>(hTotal) * lines);
}

}  // namespace tamaruka
