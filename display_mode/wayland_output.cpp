#include "display_mode/wayland_output.h"

#include <wayland-client.h>

#include "xdg-output-unstable-v1-client-protocol.h"

namespace tamaruka {

namespace {

void ignoreOutputName(void*, wl_output*, const char*) {}
void ignoreOutputDescription(void*, wl_output*, const char*) {}
void ignoreLogicalSize(void*, zxdg_output_v1*, int32_t, int32_t) {}
void ignoreXdgDone(void*, zxdg_output_v1*) {}
void ignoreXdgName(void*, zxdg_output_v1*, const char*) {}
void ignoreXdgDescription(void*, zxdg_output_v1*, const char*) {}

}  // namespace

WaylandOutput::WaylandOutput(wl_output* output, std::uint32_t globalName) : output_(output), globalName_(globalName) {
    static const wl_output_listener listener = {onGeometry, onMode, onDone, onScale, ignoreOutputName,
                                                ignoreOutputDescription};
    wl_output_add_listener(output_, &listener, this);
}

WaylandOutput::~WaylandOutput() {
    if (xdgOutput_) zxdg_output_v1_destroy(xdgOutput_);
    if (wl_output_get_version(output_) >= WL_OUTPUT_RELEASE_SINCE_VERSION) wl_output_release(output_);
    else wl_output_destroy(output_);
}

void WaylandOutput::describeWith(zxdg_output_manager_v1* manager) {
    if (!manager || xdgOutput_) return;
    static const zxdg_output_v1_listener listener = {onLogicalPosition, ignoreLogicalSize, ignoreXdgDone,
                                                     ignoreXdgName, ignoreXdgDescription};
    xdgOutput_ = zxdg_output_manager_v1_get_xdg_output(manager, output_);
    zxdg_output_v1_add_listener(xdgOutput_, &listener, this);
}

void WaylandOutput::onGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t,
                               const char*, const char*, int32_t) {
    auto* self = static_cast<WaylandOutput*>(data);
    if (self->xdgOutput_) return;  // xdg-output knows the logical place better
    self->logicalX_ = x;
    self->logicalY_ = y;
}

void WaylandOutput::onMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
    if (!(flags & WL_OUTPUT_MODE_CURRENT)) return;
    auto* self = static_cast<WaylandOutput*>(data);
    self->modeWidth_ = width;
    self->modeHeight_ = height;
}

void WaylandOutput::onDone(void* data, wl_output*) { static_cast<WaylandOutput*>(data)->done_ = true; }

void WaylandOutput::onScale(void* data, wl_output*, int32_t factor) {
    static_cast<WaylandOutput*>(data)->scale_ = factor > 0 ? factor : 1;
}

void WaylandOutput::onLogicalPosition(void* data, zxdg_output_v1*, int32_t x, int32_t y) {
    auto* self = static_cast<WaylandOutput*>(data);
    self->logicalX_ = x;
    self->logicalY_ = y;
}

}  // namespace tamaruka
