#pragma once
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <string>
#include <vector>

#include "display_mode/fps_text_layout.h"
#include "display_mode/frame_presenter.h"

namespace tamaruka {

// Shows frames composed in memory in an X window: through a shared-memory
// image (MIT-SHM) where the server can attach one, with XPutImage where it
// cannot (no MIT-SHM, or a server on another machine). The window's visual
// must take 32-bit pixels with blue in the lowest byte.
class XImagePresenter final : public FramePresenter {
public:
    XImagePresenter(Display* display, Window window, Visual* visual, int depth);
    ~XImagePresenter() override;
    XImagePresenter(const XImagePresenter&) = delete;
    XImagePresenter& operator=(const XImagePresenter&) = delete;

    bool readyForFrame() const override { return true; }
    void beginFrame() override {}
    // Puts the image and the text; waits until the server has read the image,
    // so that the next frame can be composed into the same memory.
    void present() override;
    std::unique_ptr<FpsOverlay> makeFpsOverlay() override { return nullptr; }

    const FrameImage* frameImage(int width, int height) override;
    void setChangedColumns(std::span<const std::pair<int, int>> perRow) override;
    void setOverlayText(const std::string& text) override { text_ = text; }
    std::string drawingName() const override;
    // The next frame goes to the window whole (a part of it was shown again).
    void putWholeImageNext() { wholeImageDue_ = true; }

private:
    void makeImage(int width, int height);
    bool makeSharedImage(int width, int height);
    void makePlainImage(int width, int height);
    void freeImage();
    void drawText(const FpsTextLayout& text);
    // The changed bands, and the corner under the text when there is a layout.
    void putChangedBands(const FpsTextLayout* text);

    Display* display_;
    Window window_;
    Visual* visual_;
    int depth_;
    GC gc_ = nullptr;
    XFontStruct* font_ = nullptr;
    bool sharedMemoryWorks_;
    XImage* image_ = nullptr;
    XShmSegmentInfo segment_{};
    bool shared_ = false;
    FrameImage frame_;
    std::string text_;
    std::vector<std::pair<int, int>> changed_;  // per row: the columns to put
    bool wholeImageDue_ = true;
    int framesSinceWholeImage_ = 0;
};

}  // namespace tamaruka
