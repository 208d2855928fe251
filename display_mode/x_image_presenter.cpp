#include "display_mode/x_image_presenter.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <vector>

#include "display_mode/changed_bands.h"
#include "display_mode/fps_text_layout.h"

namespace tamaruka {

namespace {

// Changed columns go to the server in bands of rows, one put a band.
constexpr int BandRows = 32;
// The whole image after an Expose, and now and then besides: another client
// may draw into a host's window without any event reaching us.
constexpr int FramesBetweenWholeImages = 30;

// Errors while the server attaches a segment mean it cannot share our memory
// (a server on another machine); they are expected and kept quiet.
bool attachFailed = false;
int onAttachError(Display*, XErrorEvent*) {
    attachFailed = true;
    return 0;
}

}  // namespace

XImagePresenter::XImagePresenter(Display* display, Window window, Visual* visual, int depth)
    : display_(display), window_(window), visual_(visual), depth_(depth),
      sharedMemoryWorks_(XShmQueryExtension(display) == True) {
    gc_ = XCreateGC(display, window, 0, nullptr);
    XSetForeground(display, gc_, 0xFFFFFF);
    font_ = XLoadQueryFont(display, "fixed");
    if (font_) XSetFont(display, gc_, font_->fid);
}

XImagePresenter::~XImagePresenter() {
    freeImage();
    if (font_) XFreeFont(display_, font_);
    XFreeGC(display_, gc_);
}

const FrameImage* XImagePresenter::frameImage(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (!image_ || image_->width != width || image_->height != height) makeImage(width, height);
    return image_ ? &frame_ : nullptr;
}

std::string XImagePresenter::drawingName() const {
    return shared_ || (!image_ && sharedMemoryWorks_) ? "CPU, MIT-SHM" : "CPU, XPutImage";
}

void XImagePresenter::makeImage(int width, int height) {
    freeImage();
    if (!(sharedMemoryWorks_ && makeSharedImage(width, height))) makePlainImage(width, height);
    if (!image_) return;
    frame_ = {reinterpret_cast<std::uint8_t*>(image_->data), width, height,
              static_cast<std::size_t>(image_->bytes_per_line), depth_ == 32};
    wholeImageDue_ = true;
}

void XImagePresenter::setChangedColumns(std::span<const std::pair<int, int>> perRow) {
    changed_.assign(perRow.begin(), perRow.end());
}

bool XImagePresenter::makeSharedImage(int width, int height) {
    XImage* image = XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, nullptr, &segment_,
                                    static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (!image) return false;
    const std::size_t bytes = static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(height);
    segment_.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (segment_.shmid < 0) {
        XDestroyImage(image);
        return false;
    }
    segment_.shmaddr = image->data = static_cast<char*>(shmat(segment_.shmid, nullptr, 0));
    segment_.readOnly = False;
    bool attached = false;
    if (segment_.shmaddr != reinterpret_cast<char*>(-1)) {
        attachFailed = false;
        XSync(display_, False);  // earlier errors go to the usual handler
        XErrorHandler previous = XSetErrorHandler(onAttachError);
        attached = XShmAttach(display_, &segment_) && (XSync(display_, False), !attachFailed);
        XSetErrorHandler(previous);
    }
    // Removed now, the segment goes once both sides have detached, even if we crash.
    shmctl(segment_.shmid, IPC_RMID, nullptr);
    if (!attached) {
        if (segment_.shmaddr != reinterpret_cast<char*>(-1)) shmdt(segment_.shmaddr);
        image->data = nullptr;
        XDestroyImage(image);
        sharedMemoryWorks_ = false;
        return false;
    }
    image_ = image;
    shared_ = true;
    return true;
}

void XImagePresenter::makePlainImage(int width, int height) {
    const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    char* data = static_cast<char*>(std::malloc(bytes));
    if (!data) return;
    image_ = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, data,
                          static_cast<unsigned>(width), static_cast<unsigned>(height), 32, width * 4);
    if (!image_) std::free(data);
}

void XImagePresenter::freeImage() {
    if (!image_) return;
    if (shared_) {
        XShmDetach(display_, &segment_);
        XSync(display_, False);
        shmdt(segment_.shmaddr);
        image_->data = nullptr;
    }
    XDestroyImage(image_);  // frees a plain image's pixels
    image_ = nullptr;
    shared_ = false;
}

void XImagePresenter::present() {
    if (!image_) return;
    if (++framesSinceWholeImage_ >= FramesBetweenWholeImages ||
        changed_.size() != static_cast<std::size_t>(image_->height))
        wholeImageDue_ = true;
    if (wholeImageDue_) {
        changed_.assign(static_cast<std::size_t>(image_->height), {0, image_->width});
        wholeImageDue_ = false;
        framesSinceWholeImage_ = 0;
    }
    // The text is laid out once a frame, in the font, when there is one.
    std::optional<FpsTextLayout> text;
    if (font_) text.emplace(text_, font_->ascent + font_->descent, font_->descent);
    putChangedBands(text ? &*text : nullptr);
    if (text) drawText(*text);
    changed_.clear();  // a frame without word of its changes is put whole
    XSync(display_, False);
}

void XImagePresenter::putChangedBands(const FpsTextLayout* text) {
    // The text is drawn anew over each frame: the picture goes under it first.
    if (text) {
        const int right = std::min(image_->width, text->coveredWidth([&](const std::string& line) {
            return XTextWidth(font_, line.data(), static_cast<int>(line.size()));
        }));
        for (int y = std::max(image_->height - text->coveredHeight(), 0); y < image_->height; ++y) {
            auto& [from, to] = changed_[static_cast<std::size_t>(y)];
            from = 0;
            to = std::max(to, right);
        }
    }
    for (const BandRect& band : changedBands(changed_, image_->width, BandRows)) {
        const auto width = static_cast<unsigned>(band.width), height = static_cast<unsigned>(band.height);
        if (shared_) XShmPutImage(display_, window_, gc_, image_, band.x, band.y, band.x, band.y, width, height, False);
        else XPutImage(display_, window_, gc_, image_, band.x, band.y, band.x, band.y, width, height);
    }
}

void XImagePresenter::drawText(const FpsTextLayout& text) {
    for (const FpsTextLayout::Line& line : text.lines())
        XDrawString(display_, window_, gc_, line.left, image_->height - line.baseline, line.text.data(),
                    static_cast<int>(line.text.size()));
}

}  // namespace tamaruka
