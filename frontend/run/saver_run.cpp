#include "frontend/run/saver_run.h"

#include <cstdint>
#include <cstdlib>
#include <exception>
#include <limits>

#include "common/program_folder.h"
#include "common/sprite_path.h"
#include "frontend/frontend_state.h"
#include "frontend/run/sprite_picture.h"
#include "settings/settings_store.h"
#include "common/error_rule.h"

namespace tamaruka {

namespace {

std::size_t timerIndex(RunTimer timer) { return static_cast<std::size_t>(timer); }

RunTimer runTimerOf(MusicTimer timer) {
    return timer == MusicTimer::Mp3Repeat ? RunTimer::Timer1 : RunTimer::Timer2;
}

// The reference point is held in 16 bits; a wider value is an overflow error.
std::int16_t toPointerCoordinate(int value) {
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max())
        throw StepError("pointer coordinate overflows 16 bits");
    return static_cast<std::int16_t>(value);
}

// |reference - current| as a 32-bit value; beyond 32 bits is an overflow error.
std::int32_t distance32(std::int16_t reference, int current) {
    const std::int64_t difference = std::llabs(std::int64_t{reference} - current);
    if (difference > std::numeric_limits<std::int32_t>::max())
        throw StepError("pointer distance overflows 32 bits");
    return static_cast<std::int32_t>(difference);
}

}  // namespace

SaverRun::SaverRun(FrontEndState& state, RunPlatform& platform, RunMusic& music)
    : state_(state),
      platform_(platform),
      music_(state.settings, music,
             [this](MusicTimer timer, bool enabled) { setTimer(runTimerOf(timer), enabled); }) {}

bool SaverRun::timerEnabled(RunTimer timer) const { return timerEnabled_[timerIndex(timer)]; }

void SaverRun::setTimer(RunTimer timer, bool enabled) {
    timerEnabled_[timerIndex(timer)] = enabled;
    platform_.setTimerEnabled(timer, enabled);
}

void SaverRun::load() {
    // The sprite file is complete before the renderer starts, which reads it once.
    runStep([&] { platform_.saveBitmapFile(spriteFilePath(), spritePicture()); });
    runStep([&] { rendererPath_ = rendererFilePath(state_.programFolder); });
    // A renderer that cannot start leaves nothing on the screen but a hidden
    // pointer: the user is told, and the run ends.
    std::string startFailure;
    try {
        platform_.startProgram(rendererPath_);
    } catch (const std::exception& error) {
        startFailure = *error.what() ? error.what() : "?";
    } catch (...) {
        startFailure = "?";
    }
    if (!startFailure.empty()) {
        failRun(std::string(RendererNotStartedMessage) + "\n" + startFailure);
        return;
    }
    music_.start();
    // The reference point is taken after the renderer and the music have started.
    runStep([&] {
        const std::optional<PointerPosition> position = platform_.cursorPosition();
        const PointerPosition point = position.value_or(PointerPosition{});
        state_.startCursorX = toPointerCoordinate(point.x);
        state_.startCursorY = toPointerCoordinate(point.y);
    });
}

void SaverRun::timer1Tick() { music_.mp3RepeatTick(); }

void SaverRun::timer2Tick() { music_.cdWatchTick(); }

void SaverRun::timer3Tick() {
    PointerPosition point;
    runStep([&] { point = platform_.cursorPosition().value_or(PointerPosition{}); });
    std::int32_t dy = 0;
    std::int32_t dx = 0;
    runStep([&] {
        dy = distance32(state_.startCursorY, point.y);
        dx = distance32(state_.startCursorX, point.x);
    });
    // Both axes at the same tick: a straight move, however long, never ends the run.
    if (dy > MoveThreshold && dx > MoveThreshold) {
        setTimer(RunTimer::Timer3, false);
        end();
    }
}

void SaverRun::programEnded(const ProgramEnd& end) {
    if (end.exited && end.exitCode == 0) return;
    failRun(std::string(RendererFailedMessage) + "\n" +
            (end.exited ? "終了コード " + std::to_string(end.exitCode)
                        : "シグナル " + std::to_string(end.signal)));
}

void SaverRun::terminate() {
    runStep([&] { platform_.stopProgram(); });
    end();
}

void SaverRun::failRun(const std::string& message) {
    if (ending_) return;
    setTimer(RunTimer::Timer3, false);
    failureMessage_ = message;
    end();
}

void SaverRun::end() {
    // Only the message box below can bring a second request while the
    // sequence runs; the steps before it are done by then.
    if (ending_) {
        platform_.endProgram();
        return;
    }
    ending_ = true;
    music_.stop();
    // The stored counter is the show flag: the usual -1 shows the pointer again.
    runStep([&] {
        if (state_.modeLetter == "S") state_.cursorCount = platform_.showCursor(state_.cursorCount != 0);
    });
    // The pointer is back and the music stopped before the box asks for a click.
    runStep([&] {
        if (!failureMessage_.empty()) platform_.messageBox(failureMessage_);
    });
    platform_.endProgram();
}

}  // namespace tamaruka
