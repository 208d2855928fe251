#include "dib/dib_loader.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <span>

#include "dib/dib_decoder.h"

namespace tamaruka {

namespace {

// The whole file mapped read-only; empty when it cannot be opened or mapped
// (an empty file cannot be mapped either).
class MappedFile {
public:
    explicit MappedFile(const std::string& fileName) {
        // O_NONBLOCK keeps a FIFO from stalling the open; it is refused below.
        const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) return;
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
            const auto size = static_cast<std::size_t>(info.st_size);
            void* view = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
            if (view != MAP_FAILED) {
                view_ = view;
                size_ = size;
            }
        }
        ::close(fd);
    }
    ~MappedFile() {
        if (view_) ::munmap(view_, size_);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool isOpen() const { return view_ != nullptr; }
    std::span<const std::uint8_t> bytes() const {
        return {static_cast<const std::uint8_t*>(view_), size_};
    }

private:
    void* view_ = nullptr;
    std::size_t size_ = 0;
};

void report(const LoaderErrorSink& showLoaderError, const std::string& text) {
    if (showLoaderError) showLoaderError(text);
}

}  // namespace

std::string dibOpenFailureText(const std::string& fileName) {
    return "Failed to open DIB file " + fileName + ".\n";
}

std::optional<DibImage> loadDibImage(const std::string& fileName,
                                     const LoaderErrorSink& showLoaderError) {
    const MappedFile file(fileName);
    if (!file.isOpen()) {
        report(showLoaderError, dibOpenFailureText(fileName));
        return std::nullopt;
    }
    DibDecodeResult result = decodeDib(file.bytes());
    if (const auto* error = std::get_if<DibError>(&result)) {
        report(showLoaderError, std::string(dibErrorText(*error)));
        return std::nullopt;
    }
    return std::move(std::get<DibImage>(result));
}

}  // namespace tamaruka
