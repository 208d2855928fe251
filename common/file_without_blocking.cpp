#include "common/file_without_blocking.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace tamaruka {

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        reset();
        fd_ = other.release();
    }
    return *this;
}

int FileDescriptor::release() noexcept {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void FileDescriptor::reset() noexcept {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

FileWithoutBlocking openWithoutBlocking(const std::string& path) {
    FileWithoutBlocking file;
    file.fd = FileDescriptor(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!file.fd || ::fstat(file.fd.get(), &file.status) != 0) {
        file.error = errno;
        file.fd.reset();
    }
    return file;
}

int makeBlocking(const FileDescriptor& fd) {
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return errno;
    return 0;
}

}  // namespace tamaruka
