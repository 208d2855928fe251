#pragma once
// Opening a file by name without waiting on it. A plain open() of a FIFO
// waits for a writer, and one of a terminal may take it as the controlling
// terminal; opened without blocking, the file's kind is known from fstat
// first, and each reader keeps only the kinds it can read.
#include <sys/stat.h>

#include <string>

namespace tamaruka {

// A file descriptor that closes itself; it can be moved, never copied.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) noexcept : fd_(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const noexcept { return fd_; }
    explicit operator bool() const noexcept { return fd_ >= 0; }
    // Hands the descriptor over (to fdopen, say); this object owns none after.
    int release() noexcept;
    void reset() noexcept;

private:
    int fd_ = -1;
};

// A file opened read-only without blocking, and what fstat said of it.
struct FileWithoutBlocking {
    FileDescriptor fd;   // none when error is set
    struct stat status {};
    int error = 0;       // errno of the failed open() or fstat(); 0 when opened
};

// Opens the path read-only, non-blocking, close-on-exec and never as a
// controlling terminal, and fstat's it. The caller decides by status.st_mode
// whether it wants a file of that kind.
FileWithoutBlocking openWithoutBlocking(const std::string& path);

// Clears O_NONBLOCK, for a reader that then reads in blocking mode; the
// errno of the failed fcntl(), 0 when done.
int makeBlocking(const FileDescriptor& fd);

}  // namespace tamaruka
