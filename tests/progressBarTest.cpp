// The progress bar: drawn in place and throttled on a terminal, silent
// elsewhere, always ending its line.
#include "app/progressBar.h"

#include <gtest/gtest.h>
#include <limits>
#include <sstream>
#include <string>

namespace caelo::app {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// A clock the test moves by hand.
struct FakeClock {
    steady_clock::time_point now{};
    ProgressBar::Clock function() {
        return [this] { return now; };
    }
};

TEST(ProgressBar, DrawsInPlaceThrottledAndEndsTheLine) {
    std::ostringstream out;
    FakeClock clock;
    {
        ProgressBar bar(out, true, "Exporting", clock.function());
        bar.update(0.0);
        EXPECT_EQ(out.str(), "\rExporting [..............................]   0%");
        clock.now += milliseconds(10);
        bar.update(0.5); // too soon after the last redraw
        EXPECT_EQ(out.str().find("50%"), std::string::npos);
        clock.now += ProgressBar::kRedrawInterval;
        bar.update(0.5);
        EXPECT_NE(out.str().find("\rExporting [###############...............]  50%"), std::string::npos);
        const std::size_t drawn = out.str().size();
        clock.now += ProgressBar::kRedrawInterval;
        bar.update(0.501); // the same text: no redraw
        EXPECT_EQ(out.str().size(), drawn);
        bar.update(2.0);                                      // clamped to the whole
        bar.update(std::numeric_limits<double>::quiet_NaN()); // ignored
        bar.finish();
        bar.finish(); // once only
    }
    const std::string text = out.str();
    EXPECT_NE(text.find("[##############################] 100%\n"), std::string::npos) << text;
    EXPECT_EQ(text.find('\n'), text.size() - 1) << "one line break, at the end";
}

TEST(ProgressBar, FinishShowsTheLastFractionEvenWhenThrottled) {
    std::ostringstream out;
    FakeClock clock;
    ProgressBar bar(out, true, "Work", clock.function());
    bar.update(0.1);
    bar.update(0.9); // throttled: the clock did not move
    EXPECT_EQ(out.str().find("90%"), std::string::npos);
    bar.finish();
    EXPECT_NE(out.str().find(" 90%\n"), std::string::npos) << out.str();
}

TEST(ProgressBar, DestructorEndsTheLineOfAnAbandonedBar) {
    std::ostringstream out;
    {
        ProgressBar bar(out, true, "Work");
        bar.update(0.25);
    }
    EXPECT_EQ(out.str(), "\rWork [#######.......................]  25%\n");
}

TEST(ProgressBar, HiddenBarWritesNothing) {
    std::ostringstream out;
    {
        ProgressBar bar(out, false, "Work");
        bar.update(0.5);
        bar.finish();
    }
    EXPECT_TRUE(out.str().empty());
}

} // namespace
} // namespace caelo::app
