// Option values of the caelo command and the frame counts of exports: what is
// read, and what is refused with which reason.
#include "app/animationSpan.h"
#include "app/commandError.h"
#include "app/optionValues.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace caelo::app {
namespace {

// Runs `read` and answers the CommandError's message, or "" when it read.
template <typename Read> std::string refusal(Read read) {
    try {
        read();
    } catch (const CommandError& error) {
        return error.what();
    }
    return {};
}

TEST(CliOptions, WholeNumbersSizesAndNumbersAreReadOrRefused) {
    EXPECT_EQ(parsePositiveWhole("--fps", "24", 1000), 24);
    EXPECT_EQ(parsePositiveWhole("--frames", "108000", kMaxExportFrames), kMaxExportFrames);
    for (const char* text : {"0", "-1", "+3", "1.5", "1e3", "", " 2", "2 ", "1001", "99999999999999999999"}) {
        EXPECT_EQ(refusal([text] { (void)parsePositiveWhole("--fps", text, 1000); }),
                  "--fps '" + std::string(text) + "': expected a whole number from 1 to 1000")
            << text;
    }

    EXPECT_EQ(parsePositiveNumber("--days", "365.25"), 365.25);
    EXPECT_EQ(parsePositiveNumber("--days", "1e-3"), 1e-3);
    for (const char* text : {"0", "-2", "inf", "nan", "1e999", "ten", ""}) {
        EXPECT_EQ(refusal([text] { (void)parsePositiveNumber("--days", text); }),
                  "--days '" + std::string(text) + "': expected a number greater than 0")
            << text;
    }

    const PixelSize size = parsePixelSize("--size", "1920x1080", 16384);
    EXPECT_EQ(size.width, 1920);
    EXPECT_EQ(size.height, 1080);
    for (const char* text :
         {"1920", "1920x", "x1080", "0x10", "10x0", "1920X1080", "16385x10", "10x-5", "axb"}) {
        const std::string message = refusal([text] { (void)parsePixelSize("--size", text, 16384); });
        EXPECT_EQ(message.rfind("--size '" + std::string(text) + "': expected WIDTHxHEIGHT", 0), 0u)
            << text << ": " << message;
    }
}

TEST(CliOptions, FramesCoverTheSpanCountingTheFirst) {
    struct Case {
        double seconds;
        std::int32_t fps;
        std::optional<std::int64_t> frames;
    };
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {365.25 * 0.1, 30, 1097}, // one model year at the default time scale: 1095.75 frames
        {10.0 * 0.1, 30, 31},     // 30.000000000000004 frames count as 30
        {0.0, 30, 1},             // the start only
        {1.0 / 30.0, 30, 2},      //
        {(kMaxExportFrames - 1) / 30.0, 30, kMaxExportFrames}, // the most allowed
        {kMaxExportFrames / 30.0, 30, std::nullopt},           // one more
        {-1.0, 30, std::nullopt},                              //
        {kInfinity, 30, std::nullopt},                         //
        {std::nan(""), 30, std::nullopt},                      //
        {1.0e12, 30, std::nullopt},                            // beyond the limit
    };
    for (const Case& c : cases) {
        EXPECT_EQ(framesCovering(c.seconds, c.fps), c.frames) << c.seconds << " s at " << c.fps;
    }
}

} // namespace
} // namespace caelo::app
