#pragma once
#include <string>

namespace tamaruka {

// Frames per second and the process's share of one CPU core, measured over
// about a second at a time, as the text that --fps shows.
class FpsMeter {
public:
    // One frame presented at the wall-clock time `wallSeconds`, when the
    // process had used `cpuSeconds` of processor time so far.
    void frame(double wallSeconds, double cpuSeconds);

    // "FPS: 59.9" and "CPU: 23%" on two lines; "FPS: -" until the first
    // second has been measured.
    std::string text() const { return text_; }

private:
    bool started_ = false;
    double startWall_ = 0, startCpu_ = 0;
    int frames_ = 0;
    std::string text_ = "FPS: -\nCPU: -";
};

}  // namespace tamaruka
