// The toolkit layer in this process, on the private Xvfb: a form's event
// order, modal showing, the error rule around handlers, periodic timers.
#include <stdexcept>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include "frontend/platform/x11_display.h"
#include "frontend/platform/x11_window_lookup.h"
#include "frontend/toolkit/form.h"
#include "frontend/toolkit/periodic_timer.h"
#include "frontend/toolkit/program_services.h"
#include "tests/support/test_support.h"

namespace tamaruka {
namespace {

using namespace std::chrono_literals;

class RecordingForm : public Form {
public:
    std::vector<std::string> events;
    bool throwOnLoad = false;

    explicit RecordingForm(const char* caption) { setWindowTitle(caption); }

protected:
    void onLoad() override
    {
        events.push_back("load");
        if (throwOnLoad) throw std::runtime_error("load failed");
        events.push_back("load finished");
    }
    void onResize() override
    {
        if (events.empty() || events.back() != "resize") events.push_back("resize");
    }
    void onQueryUnload() override { events.push_back("query-unload"); }
    void onUnload() override { events.push_back("unload"); }
};

void processEventsFor(std::chrono::milliseconds duration)
{
    test::waitUntil(
        [] {
            QCoreApplication::processEvents();
            return false;
        },
        duration);
}

class FormTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string reason;
        ASSERT_TRUE(x11::openDisplay(reason)) << reason;
        ensureApplication();
    }
};

TEST_F(FormTest, EventsComeInTheToolkitsOrder)
{
    RecordingForm form("Form Order Test");
    form.load();
    form.load();  // once only
    EXPECT_EQ(form.events, (std::vector<std::string>{"load", "load finished"}));
    // Loaded but not shown: the window exists on the server, unmapped.
    EXPECT_TRUE(x11::findTopLevelWindow("Form Order Test").has_value());

    form.resize(200, 100);
    form.showModeless();
    processEventsFor(200ms);
    form.unload();
    form.unload();  // nothing more once unloaded
    EXPECT_EQ(form.events, (std::vector<std::string>{"load", "load finished", "resize",
                                                     "query-unload", "unload"}));
    processEventsFor(100ms);
    EXPECT_FALSE(x11::findTopLevelWindow("Form Order Test").has_value());
}

TEST_F(FormTest, ModalShowReturnsWhenTheWindowIsClosed)
{
    RecordingForm form("Form Modal Test");
    // Closed as a window manager closes it, from another X client.
    QTimer::singleShot(300, [] {
        test::XClient x;
        if (const auto window = x.findWindow("Form Modal Test")) x.closeWindow(*window);
    });
    form.showModal();
    EXPECT_EQ(form.events, (std::vector<std::string>{"load", "load finished", "resize",
                                                     "query-unload", "unload"}));
    EXPECT_FALSE(form.isLoaded());
}

TEST_F(FormTest, AFailingHandlerIsAbandonedAndTheFormGoesOn)
{
    RecordingForm form("Form Error Test");
    form.throwOnLoad = true;
    form.load();
    EXPECT_TRUE(form.isLoaded());
    form.unload();
    EXPECT_EQ(form.events, (std::vector<std::string>{"load", "query-unload", "unload"}));
}

TEST_F(FormTest, PeriodicTimerTicksUnderTheErrorRule)
{
    int ticks = 0;
    PeriodicTimer timer(20, true, [&] {
        ++ticks;
        throw std::runtime_error("tick failed");  // abandons this tick only
    });
    // Three ticks despite the throwing handler; a generous limit for a loaded machine.
    EXPECT_TRUE(test::waitUntil(
        [&] {
            QCoreApplication::processEvents();
            return ticks >= 3;
        },
        5s));

    timer.setEnabled(false);
    const int stoppedAt = ticks;
    processEventsFor(150ms);
    EXPECT_EQ(ticks, stoppedAt);

    timer.setInterval(0);
    timer.setEnabled(true);  // an interval of 0 never ticks
    processEventsFor(150ms);
    EXPECT_EQ(ticks, stoppedAt);
}

}  // namespace
}  // namespace tamaruka
