// dialog_startup_benchmark [RUNS]: time from starting `Tamaruka.scr /C` to the
// settings dialog's window being mapped (the opening zoom included), and the
// front-end's resident memory with the dialog open, on a private Xvfb.
// Prints the median, minimum and maximum of RUNS runs after one warm-up run.
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "harness/harness.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* caption = "<Tamaruka>";

std::string windowName(xcb_connection_t* c, xcb_window_t window)
{
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr);
    std::string name;
    if (reply) {
        name.assign(static_cast<const char*>(xcb_get_property_value(reply)), xcb_get_property_value_length(reply));
        std::free(reply);
    }
    return name;
}

long residentKilobytes(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

void closeWindow(xcb_connection_t* c, xcb_window_t window)
{
    auto atom = [c](const char* name) {
        xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
        const xcb_atom_t a = r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
        std::free(r);
        return a;
    };
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom("WM_PROTOCOLS");
    event.data.data32[0] = atom("WM_DELETE_WINDOW");
    xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

struct Run {
    double mappedMs = -1;
    long residentKb = -1;
};

Run runOnce(xcb_connection_t* c, const std::string& program)
{
    Run run;
    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execl(program.c_str(), program.c_str(), "/C", static_cast<char*>(nullptr));
        _exit(127);
    }
    xcb_window_t dialog = 0;
    while (!dialog) {
        xcb_generic_event_t* event = xcb_wait_for_event(c);
        if (!event)
            break;
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
            if (windowName(c, map->window) == caption) {
                dialog = map->window;
                run.mappedMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            }
        }
        std::free(event);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(400));  // settled and painted
    run.residentKb = residentKilobytes(pid);
    if (dialog)
        closeWindow(c, dialog);  // the close box: nothing is written
    for (int i = 0; i < 300 && waitpid(pid, nullptr, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (waitpid(pid, nullptr, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    // Drain what the run left in the queue.
    while (xcb_generic_event_t* e = xcb_poll_for_event(c))
        std::free(e);
    return run;
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    tamaruka::test::XvfbDisplay display;
    setenv("DISPLAY", display.name().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);

    // The program beside a stand-in renderer file; its settings file lands there.
    const std::string folder = tamaruka::test::makeTempDir("tamaruka-dialog-bench");
    const std::string program = folder + "/Tamaruka.scr";
    tamaruka::test::copyFrontEnd(folder);
    std::ofstream(folder + "/Tamaruka.data").flush();

    xcb_connection_t* c = xcb_connect(display.name().c_str(), nullptr);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    runOnce(c, program);  // warm-up: file cache, font cache
    std::vector<double> mapped;
    std::vector<long> resident;
    for (int i = 0; i < runs; ++i) {
        const Run run = runOnce(c, program);
        if (run.mappedMs < 0) {
            std::fprintf(stderr, "run %d: the dialog was not mapped\n", i + 1);
            return 1;
        }
        mapped.push_back(run.mappedMs);
        resident.push_back(run.residentKb);
    }
    xcb_disconnect(c);
    std::filesystem::remove_all(folder);

    std::sort(mapped.begin(), mapped.end());
    std::sort(resident.begin(), resident.end());
    std::printf("runs: %d (after one warm-up run)\n", runs);
    std::printf("/C to dialog mapped, zoom included: median %.1f ms (min %.1f, max %.1f)\n",
                mapped[mapped.size() / 2], mapped.front(), mapped.back());
    std::printf("resident memory with the dialog open: median %.1f MB (max %.1f MB)\n",
                resident[resident.size() / 2] / 1024.0, resident.back() / 1024.0);
    return 0;
}
