// Opening the preview in its host: the order of the steps, the 16-bit twips
// limit, and the immediate end without a host.
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "frontend/preview/preview_opening.h"
#include "common/error_rule.h"

namespace tamaruka {
namespace {

class RecordingPreview : public PreviewPlatform {
public:
    std::vector<std::string> log;
    std::map<std::uint32_t, HostSize> hosts;

    std::optional<HostSize> hostSize(std::uint32_t host) override {
        log.push_back("hostSize " + std::to_string(host));
        const auto found = hosts.find(host);
        if (found == hosts.end()) return std::nullopt;
        return found->second;
    }
    void createWindow() override { log.push_back("create"); }
    void embedIn(std::uint32_t host) override { log.push_back("embed " + std::to_string(host)); }
    void placeWindow(int w, int h) override { log.push_back("window " + size(w, h)); }
    void placePicture(int w, int h) override { log.push_back("picture " + size(w, h)); }
    void showWindow() override { log.push_back("show"); }
    void endProgram() override { log.push_back("end"); }

private:
    static std::string size(int w, int h) { return std::to_string(w) + "x" + std::to_string(h); }
};

using Log = std::vector<std::string>;

TEST(PreviewOpening, FillsTheHostAtItsSize) {
    RecordingPreview fake;
    fake.hosts[4194305] = {152, 112};
    openInHost(4194305, fake);
    EXPECT_EQ(fake.log, (Log{"hostSize 4194305", "create", "embed 4194305", "window 152x112",
                             "picture 152x112", "show"}));
}

TEST(PreviewOpening, NoHostEndsAtOnce) {
    RecordingPreview none;
    openInHost(0, none);
    EXPECT_EQ(none.log, (Log{"end"}));

    RecordingPreview missing;
    openInHost(12345, missing);
    EXPECT_EQ(missing.log, (Log{"hostSize 12345", "end"}));
}

TEST(PreviewOpening, SizeBeyondSixteenBitTwipsStaysZero) {
    EXPECT_EQ(previewPixelsThroughTwips(2184), 2184);  // 32760 twips
    EXPECT_THROW(previewPixelsThroughTwips(2185), StepError);
    RecordingPreview fake;
    fake.hosts[77] = {3000, 2184};
    openInHost(77, fake);
    EXPECT_EQ(fake.log, (Log{"hostSize 77", "create", "embed 77", "window 0x2184", "picture 0x2184", "show"}));
}

TEST(PreviewOpening, HandleKeepsItsBitsAsAWindowId) {
    RecordingPreview fake;
    openInHost(-1, fake);
    EXPECT_EQ(fake.log, (Log{"hostSize 4294967295", "end"}));
}

}  // namespace
}  // namespace tamaruka
