#include "frontend/preview/preview_opening.h"

#include <limits>

#include "common/error_rule.h"
#include "frontend/toolkit/program_services.h"

namespace tamaruka {

int previewPixelsThroughTwips(int pixels) {
    const long long twips = static_cast<long long>(pixels) * twipsPerPixel;
    if (twips < std::numeric_limits<std::int16_t>::min() || twips > std::numeric_limits<std::int16_t>::max())
        throw StepError("preview size overflows 16-bit twips");
    return static_cast<int>(twips / twipsPerPixel);
}

void openInHost(std::int32_t hostHandle, PreviewPlatform& platform) {
    // X11 window ids are unsigned 32-bit; the handle keeps its bits.
    const auto host = static_cast<std::uint32_t>(hostHandle);
    std::optional<HostSize> hostSize;
    if (host != 0) runStep([&] { hostSize = platform.hostSize(host); });
    if (!hostSize) {
        platform.endProgram();
        return;
    }
    int width = 0;
    int height = 0;
    runStep([&] { width = previewPixelsThroughTwips(hostSize->width); });
    runStep([&] { height = previewPixelsThroughTwips(hostSize->height); });
    runStep([&] { platform.createWindow(); });
    runStep([&] { platform.embedIn(host); });
    runStep([&] { platform.placeWindow(width, height); });
    runStep([&] { platform.placePicture(width, height); });
    runStep([&] { platform.showWindow(); });
}

}  // namespace tamaruka
