#include "dib/dib_loader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <new>
#include <vector>

#include "common/file_without_blocking.h"
#include "dib/dib_decoder.h"

namespace tamaruka {

namespace {

// Reads the file into memory, at most maxBytes of it. Nothing is mapped, so
// a file cut short by another program while it is read only gives fewer
// bytes. Empty when the file cannot be opened, is not a regular file, or
// holds nothing.
std::vector<std::uint8_t> readFileBytes(const std::string& fileName, std::size_t maxBytes) {
    std::vector<std::uint8_t> bytes;
    // Opened without blocking, so that a FIFO does not stall the open; it is refused here.
    const FileWithoutBlocking opened = openWithoutBlocking(fileName);
    if (opened.error != 0 || !S_ISREG(opened.status.st_mode)) return bytes;
    // The size is a hint only: the file may shrink or grow meanwhile.
    const auto expected = static_cast<std::uint64_t>(opened.status.st_size > 0 ? opened.status.st_size : 0);
    std::size_t capacity = static_cast<std::size_t>(std::min<std::uint64_t>(expected, maxBytes));
    constexpr std::size_t Chunk = 64 * 1024;
    try {
        bytes.resize(std::max(capacity, std::min(Chunk, maxBytes)));
        std::size_t filled = 0;
        while (filled < maxBytes) {
            if (filled == bytes.size()) bytes.resize(std::min(maxBytes, bytes.size() * 2));
            const ssize_t got = ::read(opened.fd.get(), bytes.data() + filled, bytes.size() - filled);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
            filled += static_cast<std::size_t>(got);
        }
        bytes.resize(filled);
    } catch (const std::bad_alloc&) {
        bytes.clear();
    }
    return bytes;
}

void report(const LoaderErrorSink& showLoaderError, const std::string& text) {
    if (showLoaderError) showLoaderError(text);
}

}  // namespace

std::string dibOpenFailureText(const std::string& fileName) {
    return "Failed to open DIB file " + fileName + ".\n";
}

std::optional<DibImage> loadDibImage(const std::string& fileName,
                                     const LoaderErrorSink& showLoaderError,
                                     const DibLimits& limits) {
    const std::vector<std::uint8_t> file = readFileBytes(fileName, DibMaxFileBytes);
    if (file.empty()) {
        report(showLoaderError, dibOpenFailureText(fileName));
        return std::nullopt;
    }
    DibDecodeResult result = decodeDib(file, limits);
    if (const auto* error = std::get_if<DibError>(&result)) {
        report(showLoaderError, std::string(dibErrorText(*error)));
        return std::nullopt;
    }
    return std::move(std::get<DibImage>(result));
}

}  // namespace tamaruka
