// The file side of the loader and the dibdump tool built on it.
#include "dib/dib_loader.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/dib/bitmap_builder.h"
#include "tests/support/sanitizers.h"
#include "tests/support/test_support.h"

namespace tamaruka::test {
namespace {

class DibLoaderTest : public ::testing::Test {
protected:
    void SetUp() override { folder_ = makeTempDir("tamaruka-dib"); }

    std::string file(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const std::string path = folder_ + "/" + name;
        EXPECT_TRUE(writeFile(path, bytes));
        return path;
    }

    // Loads and collects every message the loader shows.
    std::optional<DibImage> load(const std::string& path) {
        messages_.clear();
        return loadDibImage(path, [this](const std::string& text) { messages_.push_back(text); });
    }

    std::string folder_;
    std::vector<std::string> messages_;
};

std::vector<std::uint8_t> twoByTwo() {
    BitmapSpec spec;
    spec.width = 2;
    spec.height = 2;
    spec.rows = {bgrRow({{0x10, 0x20, 0x30}, {0xAA, 0xBB, 0xCC}}),
                 bgrRow({{0xFF, 0x00, 0x01}, {0x02, 0x03, 0x04}})};
    return buildBitmap(spec);
}

TEST_F(DibLoaderTest, ReadsAFileWithoutMessages) {
    const auto image = load(file("sprite.bmp", twoByTwo()));
    ASSERT_TRUE(image);
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(image->pixels, (std::vector<std::uint8_t>{0x10, 0x20, 0x30, 0xAA, 0xBB, 0xCC, 0xFF,
                                                        0x00, 0x01, 0x02, 0x03, 0x04}));
}

TEST_F(DibLoaderTest, UnopenableFilesNameTheFullPath) {
    const std::string missing = folder_ + "/tamaruka/Fireworks.bmp";
    const std::string empty = file("empty.bmp", {});
    for (const std::string& path : {missing, empty, folder_}) {
        EXPECT_FALSE(load(path));
        EXPECT_EQ(messages_, std::vector<std::string>{"Failed to open DIB file " + path + ".\n"});
    }
    const std::string fifo = folder_ + "/fifo.bmp";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(load(fifo));  // must not wait for a writer
    EXPECT_EQ(messages_, std::vector<std::string>{"Failed to open DIB file " + fifo + ".\n"});
}

TEST_F(DibLoaderTest, EachFailureShowsExactlyOneMessage) {
    BitmapSpec spec;
    spec.headerSize = 108;
    EXPECT_FALSE(load(file("v4.bmp", buildBitmap(spec))));
    EXPECT_EQ(messages_, std::vector<std::string>{"Unknown DIB file format."});

    std::vector<std::uint8_t> cut = twoByTwo();
    cut.resize(cut.size() - 5);
    EXPECT_FALSE(load(file("cut.bmp", cut)));
    EXPECT_EQ(messages_, std::vector<std::string>{"Image file conversion error."});

    EXPECT_FALSE(loadDibImage(folder_ + "/none.bmp", nullptr));  // no sink: no crash
}

// --- dibdump ----------------------------------------------------------------

struct ToolRun {
    int exitCode = -1;
    std::string out, err;
};

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ToolRun runDibdump(const std::string& folder, const std::string& argument) {
    const std::string out = folder + "/out.txt", err = folder + "/err.txt";
    const std::string command = "'" DIBDUMP_PATH "' '" + argument + "' >'" + out + "' 2>'" + err + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(out), slurp(err)};
}

TEST_F(DibLoaderTest, DibdumpPrintsSizeThenHexRowsBottomFirst) {
    const ToolRun run = runDibdump(folder_, file("two.bmp", twoByTwo()));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "width 2 height 2\n102030aabbcc\nff0001020304\n");
    EXPECT_EQ(run.err, "");

    BitmapSpec topDown;
    topDown.width = 3;
    topDown.height = -1;
    topDown.rows = {bgrRow({{1, 1, 1}, {2, 2, 2}, {3, 3, 3}})};
    const ToolRun noRows = runDibdump(folder_, file("top.bmp", buildBitmap(topDown)));
    EXPECT_EQ(noRows.exitCode, 0);
    EXPECT_EQ(noRows.out, "width 3 height -1\n");
}

// A 964-byte RLE8 file claiming 16000 x 16000 pixels is refused without
// spending the 768 MB its header asks for.
TEST_F(DibLoaderTest, DibdumpRefusesATinyRunLengthFileClaimingAHugePicture) {
    TAMARUKA_SKIP_MEMORY_FIGURES_UNDER_ASAN();
    const std::vector<std::uint8_t> bytes = tinyRunLengthBitmap(16000, 16000, 964);
    ASSERT_EQ(bytes.size(), 964u);
    const ToolRun run = runDibdump(folder_, file("huge-rle.bmp", bytes));
    struct rusage usage {};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "Image file conversion error.");
    EXPECT_LT(usage.ru_maxrss, 40 * 1024);
}

TEST_F(DibLoaderTest, DibdumpPrintsTheLoaderMessageAndFails) {
    const std::string missing = folder_ + "/missing.bmp";
    ToolRun run = runDibdump(folder_, missing);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "Failed to open DIB file " + missing + ".\n");
    EXPECT_EQ(run.err, "");

    BitmapSpec spec;
    spec.headerSize = 124;
    run = runDibdump(folder_, file("v5.bmp", buildBitmap(spec)));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "Unknown DIB file format.");
}

}  // namespace
}  // namespace tamaruka::test
