#include <gtest/gtest.h>

#include <cmath>

#include "tests/fireworks/scene_test_host.h"

namespace tamaruka {
namespace {

using test::drawsOf;
using test::particlesOf;
using test::SceneTestHost;

constexpr std::uint32_t Seed = 4242;

struct Expected {
    BurstKind kind;
    std::size_t children;
    bool parentColour;
    float alpha;
    float halfSize;
    float axisHalfWidth;  // cube velocities; 0 for the ring
    std::uint8_t childKind;
    std::uint8_t leavesTrail;
    int drawsPerChild;
};

void PrintTo(const Expected& e, std::ostream* os) { *os << "kind " << int(e.kind); }

class BurstTest : public ::testing::TestWithParam<Expected> {
protected:
    SceneTestHost host;
    Scene scene{host};
    Particle parent;

    void SetUp() override {
        parent.x = 5;
        parent.y = 6;
        parent.z = -7;
        parent.red = 0.25f;
        parent.green = 1.5f;
        parent.blue = 0.75f;
        parent.burstKind = GetParam().kind;
        scene.random.seedRandom(Seed);
        scene.burst(parent);
    }
};

bool isSixtieth(float channel) {
    for (int n = 0; n < 100; ++n) {
        if (channel == static_cast<float>(n) * 0.016666668f) return true;
    }
    return false;
}

TEST_P(BurstTest, ChildrenHaveTheKindsCountColourAlphaSizeAndVelocities) {
    const Expected& e = GetParam();
    const auto children = particlesOf(scene);
    ASSERT_EQ(children.size(), e.children);
    bool someMixed = false;
    for (const Particle* c : children) {
        EXPECT_EQ(c->x, 5.0f);
        EXPECT_EQ(c->y, 6.0f);
        EXPECT_EQ(c->z, -7.0f);
        EXPECT_EQ(c->alpha, e.alpha);
        EXPECT_EQ(c->halfSize, e.halfSize);
        EXPECT_EQ(c->isRocket, 0);
        EXPECT_EQ(c->burstKind, e.childKind);
        EXPECT_EQ(c->leavesTrail, e.leavesTrail);
        EXPECT_EQ(c->trailInterval, e.leavesTrail ? 0.2f : 0.0f);
        EXPECT_EQ(c->trailTimer, 0.0f);
        EXPECT_GE(c->fadeRate, 0.01f);
        EXPECT_LE(c->fadeRate, 0.013f);
        if (e.parentColour) {
            EXPECT_EQ(c->red, 0.25f);
            EXPECT_EQ(c->green, 1.5f);
            EXPECT_EQ(c->blue, 0.75f);
        } else {
            EXPECT_TRUE(isSixtieth(c->red) && isSixtieth(c->green) && isSixtieth(c->blue));
            someMixed |= c->red != children[0]->red || c->blue != children[0]->blue;
        }
        if (e.axisHalfWidth > 0) {
            for (float v : {c->vx, c->vy, c->vz}) {
                EXPECT_LE(std::fabs(v), e.axisHalfWidth * 1.0001f);
            }
        } else {
            // Horizontal speed 0.01 on a ring, rising at 0.010 ... 0.020.
            EXPECT_NEAR(std::hypot(c->vx, c->vz), 0.01f, 1e-6f);
            EXPECT_GE(c->vy, 0.01f);
            EXPECT_LE(c->vy, 0.02f);
        }
    }
    if (!e.parentColour) {
        EXPECT_TRUE(someMixed);
    }
    // Every child made exactly its own draws.
    const auto draws = drawsOf(Seed, int(e.children) * e.drawsPerChild + 1);
    EXPECT_EQ(scene.random.nextRandom(), draws.back());
}

// The first child spawned is the oldest, at the tail; its fields come from
// the seed's first draws in the listed order.
TEST_P(BurstTest, FirstChildTakesItsDrawsInOrder) {
    const Expected& e = GetParam();
    const Particle& c = *particlesOf(scene).back();
    const auto d = drawsOf(Seed, 8);
    auto colour = [](std::uint32_t draw) { return static_cast<float>(draw % 100) * 0.016666668f; };
    auto fade = [](std::uint32_t draw) { return 0.01f + 0.0001f * static_cast<float>(draw % 31); };
    auto wide = [](std::uint32_t draw) { return 0.02f - 0.001f * static_cast<float>(draw % 41); };
    auto narrow = [](std::uint32_t draw) { return 0.01f - 0.001f * static_cast<float>(draw % 21); };
    auto rise = [](std::uint32_t draw) { return 0.01f + 0.001f * static_cast<float>(draw % 11); };
    auto angle = [](std::uint32_t draw) { return static_cast<float>(draw % 360) * 0.017453158f; };
    switch (e.kind) {
    case MixedBurst:
    case MixedDoubleBurst: {
        auto axis = e.kind == MixedBurst ? +wide : +narrow;
        EXPECT_EQ(c.blue, colour(d[0]));
        EXPECT_EQ(c.green, colour(d[1]));
        EXPECT_EQ(c.red, colour(d[2]));
        EXPECT_EQ(c.fadeRate, fade(d[3]));
        EXPECT_EQ(c.vx, axis(d[4]));
        EXPECT_EQ(c.vy, axis(d[5]));
        EXPECT_EQ(c.vz, axis(d[6]));
        break;
    }
    case SolidBurst:
    case SolidDoubleBurst:
    case SecondaryBurst: {
        auto axis = e.kind == SolidDoubleBurst ? +narrow : +wide;
        EXPECT_EQ(c.fadeRate, fade(d[0]));
        EXPECT_EQ(c.vx, axis(d[1]));
        EXPECT_EQ(c.vy, axis(d[2]));
        EXPECT_EQ(c.vz, axis(d[3]));
        break;
    }
    case MixedRing:
        EXPECT_EQ(c.vx, std::sin(angle(d[0])) * 0.01f);
        EXPECT_EQ(c.vz, std::cos(angle(d[0])) * 0.01f);
        EXPECT_EQ(c.blue, colour(d[1]));
        EXPECT_EQ(c.green, colour(d[2]));
        EXPECT_EQ(c.red, colour(d[3]));
        EXPECT_EQ(c.fadeRate, fade(d[4]));
        EXPECT_EQ(c.vy, rise(d[5]));
        break;
    case SolidRing:
        EXPECT_EQ(c.vx, std::sin(angle(d[0])) * 0.01f);
        EXPECT_EQ(c.vz, std::cos(angle(d[0])) * 0.01f);
        EXPECT_EQ(c.fadeRate, fade(d[1]));
        EXPECT_EQ(c.vy, rise(d[2]));
        break;
    default:
        FAIL() << "no such kind";
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllKinds, BurstTest,
    ::testing::Values(Expected{MixedBurst, 100, false, 1.0f, 0.8f, 0.02f, NoBurst, 0, 7},
                      Expected{SolidBurst, 100, true, 1.0f, 0.8f, 0.02f, NoBurst, 0, 4},
                      Expected{MixedRing, 30, false, 1.5f, 0.8f, 0, NoBurst, 1, 6},
                      Expected{SolidRing, 30, true, 1.5f, 0.8f, 0, NoBurst, 1, 3},
                      Expected{SolidDoubleBurst, 30, true, 0.8f, 0.8f, 0.01f, SecondaryBurst, 0, 4},
                      Expected{MixedDoubleBurst, 100, false, 0.8f, 0.8f, 0.01f, SecondaryBurst, 0, 7},
                      Expected{SecondaryBurst, 10, true, 0.5f, 0.6f, 0.02f, NoBurst, 0, 4}));

}  // namespace
}  // namespace tamaruka
