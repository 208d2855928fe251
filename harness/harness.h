#pragma once
// Drives the programs as a user would, for the end-to-end tests, the
// benchmarks and the developer tools: a private Xvfb, an X client that finds
// windows, sends XTest input and takes screenshots, and child processes.
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tamaruka::test {

// Folder of the built programs (build/bin) and of the project's sources.
std::string binDir();
std::string sourceDir();
// A new empty folder under the system's temporary folder, removed with its
// content when the test process ends (kept when TAMARUKA_KEEP_TEST_FILES is set).
std::string makeTempDir(const std::string& prefix = "tamaruka-test");
// Copies the front-end into the folder: Tamaruka.scr, the launcher users run,
// and the real program beside it that the launcher becomes.
void copyFrontEnd(const std::string& folder);

// A private Xvfb (1024 x 768 x 24 unless told otherwise, -noreset) on a free
// display number.
class XvfbDisplay {
public:
    // Starts it and waits until it accepts connections.
    // `extraArgs` go to Xvfb as they are (for example "-extension", "MIT-SHM").
    explicit XvfbDisplay(int width = 1024, int height = 768, const std::vector<std::string>& extraArgs = {});
    ~XvfbDisplay();  // stops it
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;
    const std::string& name() const { return name_; }  // for example ":57"
    int pid() const { return pid_; }  // to stop and continue the server
private:
    std::string name_;
    int pid_ = -1;
};

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

// An RGB picture read back from the X server.
struct Screenshot {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;  // row-major, top row first, 3 bytes a pixel
    struct Pixel { std::uint8_t r, g, b; };
    Pixel at(int x, int y) const;
    double meanBrightness() const;                // mean of (r+g+b)/3 over all pixels
    std::size_t countBrighterThan(int level) const;  // pixels with max channel > level
    std::size_t countWhite() const;                  // pixels of pure white (255, 255, 255)
    std::size_t distinctColours() const;
    Screenshot crop(const Rect& r) const;
    bool savePng(const std::string& path) const;
};

// A binary PPM (P6, 255), as grim and frame_snapshot write it; empty when
// the file is not one.
Screenshot readPpm(const std::string& path);

using WindowId = std::uint32_t;

// One connection to the X server named by DISPLAY (or by the argument).
class XClient {
public:
    explicit XClient(const std::string& display = "");
    ~XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    // Top-level windows (children of the root, and their children) whose
    // WM_NAME or _NET_WM_NAME equals the title, mapped or not.
    std::vector<WindowId> findWindows(const std::string& title);
    std::optional<WindowId> findWindow(const std::string& title);
    std::optional<WindowId> waitForWindow(const std::string& title,
                                          std::chrono::milliseconds timeout,
                                          bool mustBeMapped = true);
    bool waitForWindowGone(const std::string& title, std::chrono::milliseconds timeout);
    bool isMapped(WindowId window);
    Rect geometry(WindowId window);  // position relative to the root, size
    std::string title(WindowId window);

    // Windows of our own, for hosts and single-instance markers.
    WindowId createWindow(const std::string& title, int width, int height, bool mapped,
                          std::uint32_t backgroundPixel = 0);
    void destroyWindow(WindowId window);
    void moveResizeWindow(WindowId window, const Rect& area);
    // Every child of the root window, mapped or not.
    std::vector<WindowId> topLevelWindows();
    void closeWindow(WindowId window);  // WM_DELETE_WINDOW, as a window manager would

    // XTest input, flushed and synced before they return.
    void movePointer(int x, int y);
    std::pair<int, int> pointerPosition();
    void pressKey(unsigned long keysym);  // press and release
    void buttonDown(int button);
    void buttonUp(int button);
    void click(int button = 1);

    // A screenshot of the whole screen, or of a part of it in root coordinates.
    Screenshot capture();
    Screenshot capture(const Rect& area);

    void sync();
    int screenWidth();
    int screenHeight();

private:
    struct Impl;
    Impl* impl_;
};

// A child process with its own environment additions; stdout and stderr go to
// files that outputText() reads back.
class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& args,
                 const std::map<std::string, std::string>& extraEnv = {});
    ~ChildProcess();  // kills the process if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    int pid() const { return pid_; }
    bool running();
    // The exit code (or 128 + signal) when it ends within the timeout.
    std::optional<int> waitExit(std::chrono::milliseconds timeout);
    void sendSignal(int signal);
    std::string outputText() const;  // stdout and stderr so far

private:
    int pid_ = -1;
    std::optional<int> status_;
    std::string outputPath_;
};

// Live (not zombie) processes whose executable is this file, whoever runs them.
std::vector<int> liveProcessesOf(const std::string& executable);

// Unsets an environment variable of the test process for the scope's
// lifetime, so that the programs it starts go without it.
class ScopedUnsetEnv {
public:
    explicit ScopedUnsetEnv(const char* name);
    ~ScopedUnsetEnv();
    ScopedUnsetEnv(const ScopedUnsetEnv&) = delete;
    ScopedUnsetEnv& operator=(const ScopedUnsetEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// The live processes whose environment holds the entry ("NAME=value"), with
// their command; a zombie's environment reads empty. A mark in the
// environment of a started program finds every descendant it leaves behind.
std::vector<std::string> processesWithEnvironment(const std::string& entry);

// Whether the process, after its exec, runs code of its own: it holds SIGTERM
// back (a launcher's first act) or its loader has mapped libc (a dynamically
// linked program). Before either, a signal meets the kernel's exec, which no
// program can guard against.
bool runsOwnCode(int pid);

// A "<field>:" line of /proc/<pid>/status in kilobytes (VmHWM, VmRSS);
// -1 when the process or the field is not there.
long processStatusKilobytes(int pid, const std::string& field);

// User plus system CPU seconds of a process so far, all its threads; 0 when
// it is gone.
double processCpuSeconds(int pid);

// CLOCK_MONOTONIC in seconds, for the benchmarks' wall times.
double monotonicSeconds();

// How many threads of the process have names starting with `prefix`
// (llvmpipe's workers are "llvmpipe-0", "llvmpipe-1", ...).
int threadsNamed(int pid, const std::string& prefix);

// The steps that tamaruka prints with TAMARUKA_PRINT_FRAME_STEPS, one a frame.
std::vector<int> frameSteps(const std::string& output);

// Polls the condition every 10 ms until it holds or the timeout passes.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

}  // namespace tamaruka::test
