// The hidden run window Kirabo_S on Qt and X11: a native window captioned
// "Kirabo_Main" that is created and never mapped, its three timers, and the
// platform and music pieces that SaverRun drives.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include <QSocketNotifier>
#include <QTimer>

#include "common/sprite_path.h"
#include "frontend/frontend_state.h"
#include "frontend/platform/child_program.h"
#include "frontend/mode_windows.h"
#include "music/music_playback.h"
#include "frontend/platform/x11_pointer.h"
#include "frontend/run/saver_run.h"
#include "frontend/run/termination_signals.h"
#include "frontend/startup.h"
#include "common/error_rule.h"
#include "frontend/toolkit/form.h"
#include "frontend/toolkit/periodic_timer.h"
#include "frontend/toolkit/program_services.h"

namespace tamaruka {

namespace {

class RunWindow : public Form, private RunPlatform {
public:
    explicit RunWindow(FrontEndState& state)
        : music_(makeMusicPlayback(state.settings)),
          run_(state, *this, *music_),
          timer1_(SaverRun::Timer1Interval, run_.timerEnabled(RunTimer::Timer1), [this] { run_.timer1Tick(); }),
          timer2_(SaverRun::Timer2Interval, run_.timerEnabled(RunTimer::Timer2), [this] { run_.timer2Tick(); }),
          timer3_(SaverRun::Timer3Interval, run_.timerEnabled(RunTimer::Timer3), [this] { run_.timer3Tick(); }) {
        setWindowTitle(QString::fromUtf8(runWindowCaption.data(), static_cast<qsizetype>(runWindowCaption.size())));
    }

    // A termination signal: ends the renderer, then the end sequence.
    void terminate() { run_.terminate(); }

protected:
    void onLoad() override { run_.load(); }
    // The end sequence never refuses to close and ends the program itself.
    void onQueryUnload() override { run_.end(); }

private:
    void saveBitmapFile(const std::string& path, const Bitmap& picture) override {
        if (path.empty()) {
            std::fprintf(stderr, "Tamaruka.scr: no private folder for the sprite file (no home folder, "
                                 "no runtime folder of this user); running without it.\n");
            throw StepError("no sprite folder");
        }
        if (!saveBitmapFileAtomically(path, picture)) {
            std::fprintf(stderr, "Tamaruka.scr: cannot write the sprite file %s; running without it.\n",
                         path.c_str());
            throw StepError("sprite file not written");
        }
    }
    void startProgram(const std::string& path) override {
        int error = 0;
        std::optional<ChildProgram> started = ChildProgram::start(path, error);
        if (!started) throw StepError(std::strerror(error));
        renderer_.emplace(std::move(*started));
        watchRenderer();
    }
    void stopProgram() override {
        if (renderer_) renderer_->terminate(rendererStopGrace);
    }
    void messageBox(const std::string& text) override { tamaruka::messageBox(text); }
    std::optional<PointerPosition> cursorPosition() override {
        const std::optional<CursorPosition> position = getCursorPos();
        if (!position) return std::nullopt;
        return PointerPosition{position->x, position->y};
    }
    int showCursor(bool show) override { return tamaruka::showCursor(show); }
    void setTimerEnabled(RunTimer timer, bool enabled) override {
        switch (timer) {
        case RunTimer::Timer1: timer1_.setEnabled(enabled); break;
        case RunTimer::Timer2: timer2_.setEnabled(enabled); break;
        case RunTimer::Timer3: timer3_.setEnabled(enabled); break;
        }
    }
    void endProgram() override { immediateEnd(0); }

    // The renderer's end arrives as an event: on its pidfd where the kernel
    // has them, else from a poll.
    void watchRenderer() {
        if (renderer_->exitDescriptor() >= 0) {
            auto* notifier = new QSocketNotifier(renderer_->exitDescriptor(), QSocketNotifier::Read, this);
            connect(notifier, &QSocketNotifier::activated, this, [this, notifier] {
                notifier->setEnabled(false);
                checkRenderer();
            });
        } else {
            auto* poll = new QTimer(this);
            connect(poll, &QTimer::timeout, this, [this] { checkRenderer(); });
            poll->start(100);
        }
    }
    void checkRenderer() {
        const std::optional<ChildExit> exit = renderer_->exitStatus();
        if (!exit) return;
        run_.programEnded(ProgramEnd{exit->exited, exit->exitCode, exit->signal});
    }

    // The renderer ends within a second of SIGTERM; this bounds the wait for
    // one that does not.
    static constexpr std::chrono::milliseconds rendererStopGrace{2000};

    std::optional<ChildProgram> renderer_;

    std::unique_ptr<MusicPlayback> music_;
    SaverRun run_;
    PeriodicTimer timer1_;
    PeriodicTimer timer2_;
    PeriodicTimer timer3_;
};

}  // namespace

void createRunWindow(FrontEndState& state) {
    ensureApplication();
    // Lives as long as the run; the end sequence ends the process.
    auto* window = new RunWindow(state);
    handleTerminationSignals([window] { window->terminate(); });
    // The native window, and so the "Kirabo_Main" marker, exists before the
    // load handler's steps run.
    window->load();
}

}  // namespace tamaruka
