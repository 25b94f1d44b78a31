// A progress bar for long work, drawn in place on a terminal.
//
// Example:
//   ProgressBar bar = ProgressBar::onStandardError("Exporting", quiet);
//   for (int i = 0; i < n; ++i) { work(i); bar.update((i + 1.0) / n); }
//   bar.finish();
#ifndef CAELO_APP_PROGRESS_BAR_H
#define CAELO_APP_PROGRESS_BAR_H

#include <chrono>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

namespace caelo::app {

class ProgressBar {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // Shortest time between two redraws.
    static constexpr std::chrono::milliseconds kRedrawInterval{50};
    // Width of the bar in characters.
    static constexpr int kBarWidth = 30;

    // A bar labelled `label` drawn on `out` when `shown`, else nothing at all.
    // `clock` tells the time for the throttling.
    ProgressBar(std::ostream& out, bool shown, std::string label,
                Clock clock = std::chrono::steady_clock::now);
    // On standard error when it is a terminal and `quiet` is false.
    [[nodiscard]] static ProgressBar onStandardError(std::string label, bool quiet);

    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;
    // Finishes the bar if it was not finished, so that a failure's message
    // starts on a line of its own.
    ~ProgressBar();

    // Records the fraction of the work done (clamped to [0, 1]; a value that
    // is not a number is ignored) and redraws when the text changed and the
    // last redraw is at least kRedrawInterval old. The first update always
    // draws.
    void update(double fractionDone);

    // Draws the last fraction recorded if it is not on show yet and ends the
    // line. Later calls do nothing.
    void finish();

private:
    [[nodiscard]] std::string text() const;
    void draw(const std::string& text);

    std::ostream* out_;
    bool shown_;
    std::string label_;
    Clock clock_;
    double fraction_ = 0.0;
    std::string drawn_; // the text on show; empty before the first draw
    std::optional<std::chrono::steady_clock::time_point> lastDraw_;
    bool finished_ = false;
};

} // namespace caelo::app

#endif
