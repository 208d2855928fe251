#include "common/atomic_file.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace tamaruka {
namespace {

std::error_code lastError() { return {errno, std::generic_category()}; }

std::error_code writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return lastError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

// Collects small pieces into whole blocks before they reach the file.
class BufferedFile {
public:
    explicit BufferedFile(int fd) : fd_(fd) { buffer_.reserve(blockSize); }

    std::error_code put(std::string_view piece)
    {
        if (buffer_.size() + piece.size() > blockSize) {
            if (const std::error_code error = flush()) return error;
            if (piece.size() >= blockSize) return writeAll(fd_, piece);
        }
        buffer_.append(piece);
        return {};
    }

    std::error_code flush()
    {
        const std::error_code error = writeAll(fd_, buffer_);
        buffer_.clear();
        return error;
    }

private:
    static constexpr std::size_t blockSize = 64 * 1024;
    int fd_;
    std::string buffer_;
};

// A file-size limit (ulimit -f) would kill the process with SIGXFSZ in the
// middle of a write; ignored, the write fails with EFBIG like a full disk.
class FileSizeSignalIgnored {
public:
    FileSizeSignalIgnored()
    {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        ::sigaction(SIGXFSZ, &ignore, &previous_);
    }
    ~FileSizeSignalIgnored() { ::sigaction(SIGXFSZ, &previous_, nullptr); }
    FileSizeSignalIgnored(const FileSizeSignalIgnored&) = delete;
    FileSizeSignalIgnored& operator=(const FileSizeSignalIgnored&) = delete;

private:
    struct sigaction previous_ {};
};

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

std::error_code makeMissingFolders(const std::string& folder)
{
    std::filesystem::path partial;
    for (const auto& part : std::filesystem::path(folder)) {
        partial /= part;
        if (::mkdir(partial.c_str(), 0700) == 0 || errno == EEXIST) continue;
        return lastError();
    }
    return {};
}

std::error_code replaceFileStreaming(const std::string& path, const ContentProducer& produce,
                                     bool createFolder)
{
    namespace fs = std::filesystem;
    if (path.empty()) return std::make_error_code(std::errc::invalid_argument);
    const fs::path target = fs::path(path);
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    if (createFolder) {
        if (const std::error_code error = makeMissingFolders(folder.string())) return error;
    }

    const FileSizeSignalIgnored fileSizeSignal;
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return lastError();

    // The old file's permission bits; a link that is replaced has none to keep.
    struct stat old {};
    const bool keepMode = ::lstat(target.c_str(), &old) == 0 && !S_ISLNK(old.st_mode);
    const mode_t mode = keepMode ? (old.st_mode & 07777) : newFileMode();
    std::error_code error;
    if (::fchmod(fd, mode) != 0) error = lastError();
    // Saved by root (sudo -E, a root session) into a user's folder: the file
    // stays that user's, as the old one was, or the folder owner's where a
    // link stood, so that the user can still read and save it.
    if (!error && ::geteuid() == 0) {
        struct stat owner {};
        const bool known = keepMode ? (owner = old, true) : ::stat(folder.c_str(), &owner) == 0;
        if (known && (owner.st_uid != 0 || owner.st_gid != 0) && ::fchown(fd, owner.st_uid, owner.st_gid) != 0)
            error = lastError();
    }
    if (!error) {
        BufferedFile file(fd);
        error = produce([&](std::string_view piece) { return file.put(piece); });
        if (!error) error = file.flush();
    }
    if (!error && ::fsync(fd) != 0) error = lastError();
    if (::close(fd) != 0 && !error) error = lastError();
    if (!error && ::rename(temporary.c_str(), target.c_str()) != 0) error = lastError();
    if (error) {
        ::unlink(temporary.c_str());
        return error;
    }
    // Make the rename itself durable; a failure here loses nothing already written.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return {};
}

bool replaceFileAtomically(const std::string& path, std::string_view bytes, bool createFolder)
{
    const auto whole = [bytes](const ContentSink& sink) { return sink(bytes); };
    return !replaceFileStreaming(path, whole, createFolder);
}

}  // namespace tamaruka
