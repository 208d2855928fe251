#pragma once
#include <cstdint>

struct wl_output;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;

namespace tamaruka {

// One output (monitor) that the compositor announced, as its wl_output and
// xdg-output events describe it. Its place is in the compositor's logical
// space, where the pointer rule measures.
class WaylandOutput {
public:
    WaylandOutput(wl_output* output, std::uint32_t globalName);
    ~WaylandOutput();
    WaylandOutput(const WaylandOutput&) = delete;
    WaylandOutput& operator=(const WaylandOutput&) = delete;

    // Asks for its logical place and size; without the manager the place
    // comes from wl_output and the size from the mode and the scale.
    void describeWith(zxdg_output_manager_v1* manager);

    wl_output* output() const { return output_; }
    std::uint32_t globalName() const { return globalName_; }
    bool described() const { return done_; }  // the first "done" came
    int scale() const { return scale_; }
    int modeWidth() const { return modeWidth_; }
    int modeHeight() const { return modeHeight_; }
    int logicalX() const { return logicalX_; }
    int logicalY() const { return logicalY_; }

    bool removed = false;  // the compositor took it away

private:
    static void onGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*,
                           const char*, int32_t);
    static void onMode(void*, wl_output*, uint32_t, int32_t, int32_t, int32_t);
    static void onDone(void*, wl_output*);
    static void onScale(void*, wl_output*, int32_t);
    static void onLogicalPosition(void*, zxdg_output_v1*, int32_t, int32_t);

    wl_output* output_;
    std::uint32_t globalName_;
    zxdg_output_v1* xdgOutput_ = nullptr;
    bool done_ = false;
    int scale_ = 1;
    int modeWidth_ = 0, modeHeight_ = 0;
    int logicalX_ = 0, logicalY_ = 0;
};

}  // namespace tamaruka
