#include "renderer/renderer_program.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/renderer/fake_renderer_platform.h"

namespace tamaruka {
namespace {

using ::testing::ElementsAre;
using test::FakeRendererPlatform;
using Kind = RendererMessage::Kind;

struct RendererProgramTest : ::testing::Test {
    FakeRendererPlatform platform;
    RendererProgram program{platform, platform, platform.clock};

    // Queues the messages after the given frame has been presented.
    void queueAfterFrame(int frame, std::vector<RendererMessage> messages) {
        platform.afterFrame = [this, frame, messages](int presented) {
            if (presented == frame) platform.queue.insert(platform.queue.end(), messages.begin(), messages.end());
        };
    }
    std::vector<std::string> logSince(const std::string& entry) {
        auto it = std::find(platform.log.begin(), platform.log.end(), entry);
        return {it, platform.log.end()};
    }
};

TEST_F(RendererProgramTest, StartsFullScreenAndShutsDownInOrderOnEscape) {
    queueAfterFrame(3, {FakeRendererPlatform::key(true)});
    EXPECT_EQ(program.winMain(), 0);
    EXPECT_EQ(platform.frames, 3);
    EXPECT_THAT(platform.log,
                ElementsAre("readDisplayMode", "switchDisplayMode 1024x768", "hideCursor",
                            "createWindow --Fireworks-- 1024x768 fullscreen",
                            "setupPixelFormat 32 32", "createRenderContext", "resizeScene 1024x768",
                            "loadSpriteTexture",
                            // The texture goes while the context is still current.
                            "deleteSpriteTexture 42", "deleteRenderContext", "restoreDisplayMode",
                            "showCursor"));
    EXPECT_EQ(program.scene().particles.size(), 0u);
}

TEST_F(RendererProgramTest, WindowThatCannotBeCreatedEndsWithOneAndNoBox) {
    platform.windowCreatable = false;
    EXPECT_EQ(program.winMain(), 1);
    EXPECT_EQ(platform.frames, 0);
    for (const auto& entry : platform.log) EXPECT_EQ(entry.rfind("error", 0), std::string::npos);
}

TEST_F(RendererProgramTest, UnreadableModeShowsItsBoxAndRunsOnInTheDesktopMode) {
    platform.displayModeReadable = false;
    queueAfterFrame(2, {FakeRendererPlatform::key(true)});
    EXPECT_EQ(program.winMain(), 0);
    EXPECT_EQ(platform.frames, 2);
    EXPECT_THAT(platform.log, ::testing::Contains("error Could Not Enum Display Settings (no owner)"));
    EXPECT_THAT(platform.log, ::testing::Contains("createWindow --Fireworks-- 1024x768 desktop"));
}

// Each start-up failure posts the quit request: the loop takes it before any
// frame, the exit code is 0 and the shutdown sequence does not run.
TEST_F(RendererProgramTest, StartUpFailuresShowTheirBoxAndEndBeforeTheFirstFrame) {
    struct Case {
        bool modeAvailable;
        PixelFormatResult format;
        const char* box;
    };
    for (const Case& c : {Case{false, PixelFormatResult::Set, "error Display Mode Not Compatible (no owner)"},
                          Case{true, PixelFormatResult::ChooseFailed, "error ChoosePixelFormat failed (no owner)"},
                          Case{true, PixelFormatResult::SetFailed, "error SetPixelFormat failed (no owner)"}}) {
        FakeRendererPlatform fake;
        fake.displayModeAvailable = c.modeAvailable;
        fake.pixelFormat = c.format;
        RendererProgram failing(fake, fake, fake.clock);
        EXPECT_EQ(failing.winMain(), 0) << c.box;
        EXPECT_EQ(fake.frames, 0) << c.box;
        EXPECT_EQ(std::count(fake.log.begin(), fake.log.end(), std::string(c.box)), 1);
        EXPECT_THAT(fake.log, ::testing::Not(::testing::Contains("restoreDisplayMode")));
        EXPECT_THAT(fake.log, ::testing::Not(::testing::Contains("loadSpriteTexture")));
    }
}

TEST_F(RendererProgramTest, TenMouseMovesAreToleratedTheEleventhEnds) {
    std::vector<RendererMessage> moves(10, FakeRendererPlatform::of(Kind::MouseMove));
    platform.afterFrame = [this, moves](int frame) {
        if (frame == 1) platform.queue.assign(moves.begin(), moves.end());
        if (frame == 5) platform.queue.push_back(FakeRendererPlatform::of(Kind::MouseMove));
    };
    EXPECT_EQ(program.winMain(), 0);
    EXPECT_EQ(platform.frames, 5);
    EXPECT_EQ(program.mouseMoveCount(), 10);
}

TEST_F(RendererProgramTest, OtherKeysKeyUpsAndOtherMessagesAreSwallowed) {
    platform.afterFrame = [this](int frame) {
        if (frame == 1) {
            for (auto m : {FakeRendererPlatform::key(false), FakeRendererPlatform::of(Kind::KeyUp),
                           FakeRendererPlatform::of(Kind::Other), FakeRendererPlatform::key(false)})
                platform.queue.push_back(m);
        }
        if (frame == 4) platform.queue.push_back(FakeRendererPlatform::of(Kind::WindowDestroyed));
    };
    EXPECT_EQ(program.winMain(), 0);
    EXPECT_EQ(platform.frames, 4);
    EXPECT_THAT(logSince("deleteSpriteTexture 42"),
                ElementsAre("deleteSpriteTexture 42", "deleteRenderContext", "restoreDisplayMode",
                            "showCursor"));
}

TEST_F(RendererProgramTest, OneMessagePerPassAndAFrameOnlyWhenTheQueueIsEmpty) {
    std::vector<int> pollsAtFrame;
    int framesWhileQueued = 0;
    platform.afterFrame = [&](int frame) {
        pollsAtFrame.push_back(platform.polls);
        if (!platform.queue.empty()) ++framesWhileQueued;
        if (frame == 1) platform.queue.assign(5, FakeRendererPlatform::key(false));
        if (frame == 2) platform.queue.push_back(FakeRendererPlatform::key(true));
    };
    EXPECT_EQ(program.winMain(), 0);
    EXPECT_EQ(framesWhileQueued, 0);
    // Five messages, then the empty pass that draws; after Escape, the pass
    // that finds the quit request.
    EXPECT_THAT(pollsAtFrame, ElementsAre(1, 7));
    EXPECT_EQ(platform.polls, 9);
}

// Frames keep to the display's refresh: the wait comes only when a frame is
// about to be drawn, and a message arriving during it is taken at once,
// without a frame in between; the frame keeps its slot after it.
TEST_F(RendererProgramTest, FramesWaitForTheDisplayPeriodAndMessagesDoNot) {
    platform.refresh = 50;  // 20 ms a frame
    platform.afterFrame = [this](int frame) {
        if (frame == 2) platform.arrivals = {FakeRendererPlatform::key(false),
                                             FakeRendererPlatform::key(true)};
    };
    EXPECT_EQ(program.winMain(), 0);
    EXPECT_EQ(platform.frames, 2);
    // The first frame at once; the second waits out its period; the third's
    // wait is cut short by a key 5 ms into it, resumes for the rest of the
    // slot, and Escape 5 ms into that ends it.
    using std::chrono::milliseconds;
    EXPECT_THAT(platform.waits, ElementsAre(milliseconds(20), milliseconds(20), milliseconds(15)));
    EXPECT_EQ(platform.clock.now().time_since_epoch(), milliseconds(30));

    // Unknown refresh: 60 Hz.
    FakeRendererPlatform unknown;
    RendererProgram paced{unknown, unknown, unknown.clock};
    unknown.afterFrame = [&unknown](int frame) {
        if (frame == 1) unknown.arrivals = {FakeRendererPlatform::key(true)};
    };
    EXPECT_EQ(paced.winMain(), 0);
    EXPECT_THAT(unknown.waits, ElementsAre(std::chrono::nanoseconds(16666666)));
}

// Further queued moves run the shutdown sequence again before the quit is
// taken: nothing is released twice and no frame follows.
TEST_F(RendererProgramTest, RepeatedShutdownReleasesNothingTwice) {
    platform.afterFrame = [this](int frame) {
        if (frame == 2) {
            platform.queue.assign(14, FakeRendererPlatform::of(Kind::MouseMove));
            platform.queue.push_back(FakeRendererPlatform::key(true));
            platform.queue.push_back(FakeRendererPlatform::of(Kind::WindowDestroyed));
        }
    };
    EXPECT_EQ(program.winMain(), 0);
    EXPECT_EQ(platform.frames, 2);
    EXPECT_THAT(logSince("deleteSpriteTexture 42"),
                ElementsAre("deleteSpriteTexture 42", "deleteRenderContext", "restoreDisplayMode",
                            "showCursor"));
}

}  // namespace
}  // namespace tamaruka
