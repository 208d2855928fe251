// Tamaruka.scr /P end to end: the preview fills a host window made here.
#include <chrono>
#include <cmath>

#include <QImage>
#include <gtest/gtest.h>

#include "tests/support/saver_install.h"

namespace tamaruka::test {
namespace {

using namespace std::chrono_literals;

// Mean absolute difference per channel between the host's pixels and the
// preview picture stretched to the host's size.
double differenceFromPicture(const Screenshot& shot) {
    const QImage picture = QImage(QString::fromStdString(sourceDir() + "/frontend/resources/preview.png"))
                               .convertToFormat(QImage::Format_RGB888)
                               .scaled(shot.width, shot.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    double sum = 0;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const QRgb expected = picture.pixel(x, y);
            const Screenshot::Pixel got = shot.at(x, y);
            sum += std::abs(qRed(expected) - got.r) + std::abs(qGreen(expected) - got.g) +
                   std::abs(qBlue(expected) - got.b);
        }
    }
    return sum / (3.0 * shot.width * shot.height);
}

class PreviewE2E : public ::testing::TestWithParam<std::pair<int, int>> {
protected:
    XClient x;
    SaverInstall install;
};

TEST_P(PreviewE2E, PictureFillsTheHostUntilTheHostIsDestroyed) {
    const auto [width, height] = GetParam();
    // A grey host: any part the preview fails to cover stays grey.
    const WindowId host = x.createWindow("preview host", width, height, true, 0x808080);
    auto preview = install.start({"/p", std::to_string(host)});
    const Rect area = x.geometry(host);
    double difference = 1e9;
    EXPECT_TRUE(waitUntil([&] {
        difference = differenceFromPicture(x.capture(area));
        return difference < 6.0;
    }, 15s)) << "mean difference " << difference << "\n" << preview->outputText();
    EXPECT_TRUE(preview->running());

    x.destroyWindow(host);
    EXPECT_EQ(preview->waitExit(10s), 0);
}

INSTANTIATE_TEST_SUITE_P(HostSizes, PreviewE2E, ::testing::Values(std::pair{152, 112}, std::pair{400, 300}));

TEST(PreviewWithoutHostE2E, EndsAtOnce) {
    SaverInstall install;
    // No number at all, and a number that names no window.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"/P"}, std::vector<std::string>{"/P", "536870911"}}) {
        auto preview = install.start(args);
        EXPECT_EQ(preview->waitExit(10s), 0) << args.back();
    }
}

}  // namespace
}  // namespace tamaruka::test
