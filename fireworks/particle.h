#pragma once
#include <cstdint>

namespace tamaruka {

// What a particle does when its alpha runs out.
enum BurstKind : std::uint8_t {
    NoBurst = 0,
    MixedBurst = 1,        // 100 sparks, each its own colour
    SolidBurst = 2,        // 100 sparks in the parent's colour
    MixedRing = 3,         // 30 rising ring sparks of random colours, with trails
    SolidRing = 4,         // as MixedRing, in the parent's colour
    SolidDoubleBurst = 5,  // 30 sparks that burst again as SecondaryBurst
    MixedDoubleBurst = 6,  // 100 random-coloured sparks that burst again
    SecondaryBurst = 7,    // 10 small, dimmer sparks; ends the chain
};

// Rockets, sparks and trail particles are all this one record. Velocities are
// world units per step (2 ms); alpha is both opacity and remaining life.
struct Particle {
    float x = 0, y = 0, z = 0;
    float vx = 0, vy = 0, vz = 0;
    float red = 0, green = 0, blue = 0;
    float alpha = 0;
    float fadeRate = 0;
    float halfSize = 0;
    std::uint8_t isRocket = 0;
    std::uint8_t burstKind = NoBurst;
    std::uint8_t leavesTrail = 0;
    float trailInterval = 0;
    float trailTimer = 0;
    Particle* next = nullptr;  // the next older particle
    Particle* prev = nullptr;  // the next newer particle
};

}  // namespace tamaruka
