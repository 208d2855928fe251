#include "display_mode/wayland_shm_presenter.h"

#include <GL/gl.h>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include "display_mode/changed_bands.h"
#include "display_mode/fps_glyph_painting.h"
#include "display_mode/fps_glyphs.h"

namespace tamaruka {

namespace {

// Changed columns are damaged in bands of rows, one rectangle a band.
constexpr int BandRows = 32;
constexpr std::uint32_t White = 0xFFFFFFFF;

}  // namespace

FrameDrawing chooseWaylandDrawing(bool sharedMemory) {
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    // wl_shm's XRGB8888: 32-bit little-endian pixels, blue in the lowest byte.
    WindowPixelFormat format;
    if (sharedMemory)
        format = {.trueColor = true, .depth = 24, .bitsPerPixel = 32, .redMask = 0xFF0000, .greenMask = 0x00FF00,
                  .blueMask = 0x0000FF, .leastSignificantByteFirst = true};
    return chooseFrameDrawing(renderer ? renderer : "", format, std::getenv("TAMARUKA_DRAWING"));
}

WaylandShmPresenter::WaylandShmPresenter(wl_shm* shm, wl_surface* surface, int textPixelSize)
    : shm_(shm), surface_(surface), textPixelSize_(glyphPixelSize(textPixelSize)) {}

WaylandShmPresenter::~WaylandShmPresenter() {
    for (auto& buffer : buffers_) destroy(*buffer);
}

const FrameImage* WaylandShmPresenter::frameImage(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (image_.width != width || image_.height != height) {
        pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
        image_ = {reinterpret_cast<std::uint8_t*>(pixels_.data()), width, height,
                  static_cast<std::size_t>(width) * 4, false};
        wholeDue_ = true;
    }
    return &image_;
}

void WaylandShmPresenter::setChangedColumns(std::span<const std::pair<int, int>> perRow) {
    changed_.assign(perRow.begin(), perRow.end());
}

void WaylandShmPresenter::setTextPixelSize(int size) { textPixelSize_ = glyphPixelSize(size); }

void WaylandShmPresenter::destroy(Buffer& buffer) {
    if (buffer.buffer) wl_buffer_destroy(buffer.buffer);
    if (buffer.pixels) munmap(buffer.pixels, buffer.bytes);
    buffer.buffer = nullptr;
    buffer.pixels = nullptr;
}

void WaylandShmPresenter::onRelease(void* data, wl_buffer*) {
    auto* released = static_cast<Buffer*>(data);
    released->busy = false;
    WaylandShmPresenter& owner = *released->owner;
    // A buffer of a size gone by is no use any more.
    if (released->width != owner.image_.width || released->height != owner.image_.height) {
        destroy(*released);
        std::erase_if(owner.buffers_, [&](const auto& buffer) { return buffer.get() == released; });
    }
}

std::unique_ptr<WaylandShmPresenter::Buffer> WaylandShmPresenter::makeBuffer() {
    auto made = std::make_unique<Buffer>();
    made->owner = this;
    made->width = image_.width;
    made->height = image_.height;
    made->bytes = static_cast<std::size_t>(image_.width) * static_cast<std::size_t>(image_.height) * 4;
    const int fd = memfd_create("tamaruka-frame", MFD_CLOEXEC);
    if (fd < 0) return nullptr;
    if (ftruncate(fd, static_cast<off_t>(made->bytes)) != 0) {
        close(fd);
        return nullptr;
    }
    void* mapped = mmap(nullptr, made->bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (mapped == MAP_FAILED) {
        close(fd);
        return nullptr;
    }
    made->pixels = static_cast<std::uint8_t*>(mapped);
    wl_shm_pool* pool = wl_shm_create_pool(shm_, fd, static_cast<std::int32_t>(made->bytes));
    made->buffer = wl_shm_pool_create_buffer(pool, 0, image_.width, image_.height, image_.width * 4,
                                             WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);  // the buffer keeps the memory
    close(fd);
    static const wl_buffer_listener listener = {onRelease};
    wl_buffer_add_listener(made->buffer, &listener, made.get());
    return made;
}

WaylandShmPresenter::Buffer* WaylandShmPresenter::freeBuffer() {
    std::erase_if(buffers_, [&](const auto& buffer) {
        const bool stale = !buffer->busy && (buffer->width != image_.width || buffer->height != image_.height);
        if (stale) destroy(*buffer);
        return stale;
    });
    for (auto& buffer : buffers_)
        if (!buffer->busy) return buffer.get();
    // The compositor holds every buffer (the frame before, maybe one being
    // read): one more, so that the frame need not wait.
    auto made = makeBuffer();
    if (!made) return nullptr;
    buffers_.push_back(std::move(made));
    return buffers_.back().get();
}

bool WaylandShmPresenter::attach() {
    if (!image_.pixels) return false;
    Buffer* target = freeBuffer();
    if (!target) return false;
    std::memcpy(target->pixels, image_.pixels, target->bytes);
    const FpsTextLayout text = glyphTextLayout(text_, textPixelSize_);
    const FrameImage painted{target->pixels, target->width, target->height,
                             static_cast<std::size_t>(target->width) * 4, false};
    paintGlyphText(painted, text, textPixelSize_, White);
    wl_surface_attach(surface_, target->buffer, 0, 0);
    damageChanged(text);
    target->busy = true;
    return true;
}

void WaylandShmPresenter::damageChanged(const FpsTextLayout& text) {
    const int width = image_.width, height = image_.height;
    const int textTop = height - text.coveredHeight();
    const int textRight =
        text.coveredWidth([&](const std::string& line) { return glyphTextWidth(line.size(), textPixelSize_); });
    if (wl_proxy_get_version(reinterpret_cast<wl_proxy*>(surface_)) < WL_SURFACE_DAMAGE_BUFFER_SINCE_VERSION) {
        // Older compositors take damage in surface coordinates only: all of it.
        wl_surface_damage(surface_, 0, 0, INT32_MAX, INT32_MAX);
    } else if (wholeDue_ || changed_.size() != static_cast<std::size_t>(height)) {
        wl_surface_damage_buffer(surface_, 0, 0, width, height);
        wholeDue_ = false;
    } else {
        // The text, this frame's and the last one's, is new in every buffer.
        const int top = std::max(0, std::min(textTop, lastTextTop_));
        const int right = std::min(width, std::max(textRight, lastTextRight_));
        for (int y = top; y < height && right > 0; ++y) {
            auto& [from, to] = changed_[static_cast<std::size_t>(y)];
            to = from < to ? std::max(to, right) : right;
            from = 0;
        }
        for (const BandRect& band : changedBands(changed_, width, BandRows))
            wl_surface_damage_buffer(surface_, band.x, band.y, band.width, band.height);
    }
    lastTextRight_ = textRight;
    lastTextTop_ = textTop;
    changed_.clear();  // a frame without word of its changes is damaged whole
}

}  // namespace tamaruka
