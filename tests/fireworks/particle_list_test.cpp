#include "fireworks/particle_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace tamaruka {
namespace {

Particle withX(float x) {
    Particle p;
    p.x = x;
    p.next = reinterpret_cast<Particle*>(0x1);  // links in the record are ignored
    p.prev = reinterpret_cast<Particle*>(0x1);
    return p;
}

// The list's x values head to tail, checking both link directions on the way.
std::vector<float> contents(const ParticleList& list) {
    std::vector<float> xs;
    const Particle* previous = nullptr;
    for (const Particle* p = list.head(); p; p = p->next) {
        EXPECT_EQ(p->prev, previous);
        xs.push_back(p->x);
        previous = p;
    }
    EXPECT_EQ(xs.size(), list.size());
    return xs;
}

struct ParticleListTest : ::testing::Test {
    ParticleList list;
    Particle* oldest = nullptr;
    Particle* middle = nullptr;
    Particle* newest = nullptr;
    void SetUp() override {
        oldest = list.spawn(withX(1));
        middle = list.spawn(withX(2));
        newest = list.spawn(withX(3));
    }
};

TEST_F(ParticleListTest, SpawnPushesAtTheHeadAndCopiesTheRecord) {
    EXPECT_EQ(list.head(), newest);
    EXPECT_EQ(contents(list), (std::vector<float>{3, 2, 1}));
    EXPECT_EQ(oldest->next, nullptr);
}

TEST_F(ParticleListTest, RemovingTheHeadMovesTheHeadAndTheCursor) {
    Particle* cursor = newest;
    list.remove(cursor);
    EXPECT_EQ(cursor, middle);
    EXPECT_EQ(list.head(), middle);
    EXPECT_EQ(contents(list), (std::vector<float>{2, 1}));
}

TEST_F(ParticleListTest, RemovingAMiddleParticleJoinsItsNeighbours) {
    Particle* cursor = middle;
    list.remove(cursor);
    EXPECT_EQ(cursor, oldest);
    EXPECT_EQ(newest->next, oldest);
    EXPECT_EQ(oldest->prev, newest);
    EXPECT_EQ(contents(list), (std::vector<float>{3, 1}));
}

TEST_F(ParticleListTest, RemovingTheTailLeavesTheCursorNull) {
    Particle* cursor = oldest;
    list.remove(cursor);
    EXPECT_EQ(cursor, nullptr);
    EXPECT_EQ(middle->next, nullptr);
    EXPECT_EQ(contents(list), (std::vector<float>{3, 2}));
}

TEST_F(ParticleListTest, RemovingTheOnlyParticleEmptiesTheList) {
    list.clear();
    Particle* only = list.spawn(withX(9));
    list.remove(only);
    EXPECT_EQ(only, nullptr);
    EXPECT_EQ(list.head(), nullptr);
    EXPECT_EQ(list.size(), 0u);
}

TEST_F(ParticleListTest, NullCursorIsLeftAlone) {
    Particle* cursor = nullptr;
    list.remove(cursor);
    EXPECT_EQ(contents(list), (std::vector<float>{3, 2, 1}));
}

TEST_F(ParticleListTest, ClearReturnsEveryNodeAndNodesAreReused) {
    list.clear();
    EXPECT_EQ(list.head(), nullptr);
    EXPECT_EQ(list.pool().liveNodes(), 0u);
    const std::size_t chunks = list.pool().chunkCount();
    for (int round = 0; round < 10; ++round) {
        for (int i = 0; i < 1000; ++i) list.spawn(withX(i));
        list.clear();
    }
    EXPECT_EQ(list.pool().chunkCount(), std::max<std::size_t>(chunks, 2));
    EXPECT_EQ(list.pool().liveNodes(), 0u);
}

TEST(ParticleListLimit, SpawnBeyondTheLimitReturnsNullAndChangesNothing) {
    ParticleList list(2);
    ASSERT_NE(list.spawn(withX(1)), nullptr);
    Particle* second = list.spawn(withX(2));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(list.spawn(withX(3)), nullptr);
    EXPECT_EQ(contents(list), (std::vector<float>{2, 1}));
    // A freed node can be had again.
    list.remove(second);
    EXPECT_NE(list.spawn(withX(4)), nullptr);
    EXPECT_EQ(contents(list), (std::vector<float>{4, 1}));
}

}  // namespace
}  // namespace tamaruka
