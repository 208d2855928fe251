#include "fireworks/particle_list.h"

#include <new>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
// Free nodes are poisoned so that AddressSanitizer still catches a use after
// removal, as it would with one heap block per particle.
#define TAMARUKA_POISON(p) ASAN_POISON_MEMORY_REGION((p), sizeof(Particle))
#define TAMARUKA_UNPOISON(p) ASAN_UNPOISON_MEMORY_REGION((p), sizeof(Particle))
#else
#define TAMARUKA_POISON(p) ((void)(p))
#define TAMARUKA_UNPOISON(p) ((void)(p))
#endif

namespace tamaruka {

ParticleNodePool::ParticleNodePool(std::size_t nodeLimit) : limit_(nodeLimit) {}

ParticleNodePool::~ParticleNodePool() {
    for (auto& chunk : chunks_) {
        for (std::size_t i = 0; i < ChunkNodes; ++i) TAMARUKA_UNPOISON(&chunk[i]);
    }
}

bool ParticleNodePool::grow() {
    std::unique_ptr<Particle[]> chunk(new (std::nothrow) Particle[ChunkNodes]);
    if (!chunk) return false;
    try {
        chunks_.push_back(nullptr);
    } catch (const std::bad_alloc&) {
        return false;
    }
    // Thread the new nodes onto the free list, first node first out.
    for (std::size_t i = ChunkNodes; i-- > 0;) {
        chunk[i].next = free_;
        free_ = &chunk[i];
        TAMARUKA_POISON(&chunk[i]);
    }
    chunks_.back() = std::move(chunk);
    return true;
}

Particle* ParticleNodePool::allocate() {
    if (live_ >= limit_) return nullptr;
    if (!free_ && !grow()) return nullptr;
    Particle* node = free_;
    TAMARUKA_UNPOISON(node);
    free_ = node->next;
    ++live_;
    return node;
}

void ParticleNodePool::release(Particle* node) {
    node->next = free_;
    free_ = node;
    TAMARUKA_POISON(node);
    --live_;
}

ParticleList::ParticleList(std::size_t nodeLimit) : pool_(nodeLimit) {}

ParticleList::~ParticleList() { clear(); }

Particle* ParticleList::spawn(const Particle& record) {
    Particle* node = pool_.allocate();
    if (!node) return nullptr;
    *node = record;
    node->prev = nullptr;
    node->next = head_;
    if (head_) head_->prev = node;
    head_ = node;
    ++size_;
    return node;
}

void ParticleList::remove(Particle*& cursor) {
    Particle* p = cursor;
    if (!p) return;
    if (p->prev) {
        p->prev->next = p->next;
    } else {
        head_ = p->next;
    }
    if (p->next) p->next->prev = p->prev;
    cursor = p->next;
    pool_.release(p);
    --size_;
}

void ParticleList::clear() {
    while (head_) {
        Particle* cursor = head_;
        remove(cursor);
    }
}

}  // namespace tamaruka
