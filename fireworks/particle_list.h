#pragma once
#include <cstddef>
#include <limits>
#include <memory>
#include <vector>

#include "fireworks/particle.h"

namespace tamaruka {

// Hands out particle nodes from chunks kept for the list's lifetime, so that
// the steady state of the fireworks makes no call to the system allocator.
// A node limit lets tests run the scene into allocation failure.
class ParticleNodePool {
public:
    static constexpr std::size_t NoLimit = std::numeric_limits<std::size_t>::max();
    static constexpr std::size_t ChunkNodes = 512;

    explicit ParticleNodePool(std::size_t nodeLimit = NoLimit);
    ~ParticleNodePool();
    ParticleNodePool(const ParticleNodePool&) = delete;
    ParticleNodePool& operator=(const ParticleNodePool&) = delete;

    // A node, or null when the limit is reached or memory is exhausted.
    Particle* allocate();
    void release(Particle* node);

    std::size_t liveNodes() const { return live_; }
    std::size_t chunkCount() const { return chunks_.size(); }

private:
    bool grow();

    std::vector<std::unique_ptr<Particle[]>> chunks_;
    Particle* free_ = nullptr;  // linked through `next`
    std::size_t live_ = 0;
    std::size_t limit_;
};

// The doubly linked particle list, newest at the head. Spawned particles are
// pushed at the head, so a pass that walks towards older particles does not
// meet the ones it creates.
class ParticleList {
public:
    explicit ParticleList(std::size_t nodeLimit = ParticleNodePool::NoLimit);
    ~ParticleList();
    ParticleList(const ParticleList&) = delete;
    ParticleList& operator=(const ParticleList&) = delete;

    Particle* head() const { return head_; }
    std::size_t size() const { return size_; }
    const ParticleNodePool& pool() const { return pool_; }

    // Copies the record (links aside) into a new node at the head; null when
    // no node can be had, and the list is then unchanged.
    Particle* spawn(const Particle& record);
    // Unlinks and frees the particle under the cursor and moves the cursor to
    // its older neighbour; a null cursor is left alone.
    void remove(Particle*& cursor);
    void clear();

private:
    ParticleNodePool pool_;
    Particle* head_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace tamaruka
