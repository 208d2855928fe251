#include "common/file_without_blocking.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <future>
#include <utility>

#include "tests/support/temp_folder.h"

namespace tamaruka {
namespace {

TEST(FileWithoutBlockingTest, RegularFileOpensWithItsSizeAndCanBeMadeBlocking) {
    const test::TempFolder folder;
    test::writeBytes(folder.file("a.ini"), "12345");
    const FileWithoutBlocking opened = openWithoutBlocking(folder.file("a.ini"));
    ASSERT_EQ(opened.error, 0);
    ASSERT_TRUE(opened.fd);
    EXPECT_TRUE(S_ISREG(opened.status.st_mode));
    EXPECT_EQ(opened.status.st_size, 5);
    const int flags = ::fcntl(opened.fd.get(), F_GETFL);
    EXPECT_TRUE(flags & O_NONBLOCK);
    EXPECT_TRUE(::fcntl(opened.fd.get(), F_GETFD) & FD_CLOEXEC);
    EXPECT_EQ(makeBlocking(opened.fd), 0);
    EXPECT_EQ(::fcntl(opened.fd.get(), F_GETFL), flags & ~O_NONBLOCK);
}

// A plain open() of a FIFO waits for a writer; this one must come back at once.
TEST(FileWithoutBlockingTest, FifoOpensWithoutAWriterAndShowsAsFifo) {
    const test::TempFolder folder;
    const std::string fifo = folder.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto opening = std::async(std::launch::async, [&] { return openWithoutBlocking(fifo); });
    if (opening.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        FileDescriptor writer(::open(fifo.c_str(), O_WRONLY | O_CLOEXEC));  // lets the hung open go
        FAIL() << "open() waited for a writer";
    }
    const FileWithoutBlocking opened = opening.get();
    ASSERT_EQ(opened.error, 0);
    EXPECT_TRUE(opened.fd);
    EXPECT_TRUE(S_ISFIFO(opened.status.st_mode));
}

TEST(FileWithoutBlockingTest, MissingFileGivesEnoentAndNoDescriptor) {
    const test::TempFolder folder;
    const FileWithoutBlocking opened = openWithoutBlocking(folder.file("none"));
    EXPECT_EQ(opened.error, ENOENT);
    EXPECT_FALSE(opened.fd);
    EXPECT_EQ(openWithoutBlocking("").error, ENOENT);
}

TEST(FileWithoutBlockingTest, DirectoryOpensAndShowsAsDirectory) {
    const test::TempFolder folder;
    const FileWithoutBlocking opened = openWithoutBlocking(folder.path());
    ASSERT_EQ(opened.error, 0);
    EXPECT_TRUE(S_ISDIR(opened.status.st_mode));
}

// The descriptor is closed exactly once, by its last owner.
TEST(FileWithoutBlockingTest, DescriptorMovesAndClosesOnce) {
    const test::TempFolder folder;
    FileWithoutBlocking opened = openWithoutBlocking(folder.path());
    const int fd = opened.fd.get();
    {
        FileDescriptor owner = std::move(opened.fd);
        EXPECT_FALSE(opened.fd);
        EXPECT_EQ(owner.get(), fd);
        EXPECT_NE(::fcntl(fd, F_GETFD), -1);
    }
    EXPECT_EQ(::fcntl(fd, F_GETFD), -1);
    EXPECT_EQ(errno, EBADF);
}

}  // namespace
}  // namespace tamaruka
