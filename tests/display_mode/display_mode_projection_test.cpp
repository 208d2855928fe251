// The widened field on a real OpenGL context: in a tall window the edges of
// the launch area (x = -29 and 29) are drawn, which the plain 45-degree
// field would leave outside the picture.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "display_mode/view_field.h"
#include "fireworks/frame_drawing.h"
#include "tests/support/gl_test_context.h"

namespace tamaruka {
namespace {

constexpr int Width = 300, Height = 720;

// The red channel at the pixels where x = -29 and x = 29 (y = 0, z = 0) fall
// with the widened field: 150 -/+ 150 * 29 / 33.137, in the middle row.
std::pair<int, int> drawLaunchAreaEdges(double fieldOfView) {
    resizeScene(Width, Height, fieldOfView);
    ParticleList particles;
    for (float x : {-29.0f, 29.0f}) {
        Particle p;
        p.x = x;
        p.red = p.alpha = p.halfSize = 1.0f;
        particles.spawn(p);
    }
    drawFrame(particles, 0);
    std::vector<unsigned char> rgb(Width * Height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, Width, Height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    auto red = [&](int x, int y) { return int(rgb[(y * Width + x) * 3]); };
    return {red(19, Height / 2), red(281, Height / 2)};
}

TEST(DisplayModeProjectionTest, TallWindowsKeepTheLaunchAreaInView) {
    test::HiddenGlContext gl("projection", 1024, 768);
    ASSERT_TRUE(gl.ready()) << gl.error();
    EXPECT_EQ(drawLaunchAreaEdges(verticalFieldOfView(Width, Height)), std::make_pair(255, 255));
    EXPECT_EQ(drawLaunchAreaEdges(45.0), std::make_pair(0, 0));
}

}  // namespace
}  // namespace tamaruka
