#include "app/progressBar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <unistd.h>
#include <utility>

namespace caelo::app {
namespace {

constexpr int kPercent = 100;

} // namespace

ProgressBar::ProgressBar(std::ostream& out, bool shown, std::string label, Clock clock)
    : out_(&out), shown_(shown), label_(std::move(label)), clock_(std::move(clock)) {}

ProgressBar ProgressBar::onStandardError(std::string label, bool quiet) {
    return ProgressBar(std::cerr, !quiet && isatty(STDERR_FILENO) == 1, std::move(label));
}

ProgressBar::~ProgressBar() {
    finish();
}

void ProgressBar::update(double fractionDone) {
    if (!shown_ || finished_ || std::isnan(fractionDone)) {
        return;
    }
    fraction_ = std::clamp(fractionDone, 0.0, 1.0);
    const std::string next = text();
    if (next == drawn_) {
        return;
    }
    const auto now = clock_();
    if (lastDraw_ && now - *lastDraw_ < kRedrawInterval) {
        return;
    }
    lastDraw_ = now;
    draw(next);
}

void ProgressBar::finish() {
    if (!shown_ || finished_) {
        return;
    }
    finished_ = true;
    if (const std::string last = text(); last != drawn_) {
        draw(last);
    }
    *out_ << '\n' << std::flush;
}

std::string ProgressBar::text() const {
    const auto filled = static_cast<int>(std::floor(fraction_ * kBarWidth));
    const auto percent = static_cast<int>(std::floor(fraction_ * kPercent));
    char number[8];
    std::snprintf(number, sizeof number, "%3d%%", percent);
    return label_ + " [" + std::string(static_cast<std::size_t>(filled), '#') +
           std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] " + number;
}

void ProgressBar::draw(const std::string& text) {
    *out_ << '\r' << text << std::flush;
    drawn_ = text;
}

} // namespace caelo::app
