#include "bench/targetReporter.h"

#include <string_view>
#include <unistd.h>

namespace caelo::bench {

namespace {

constexpr std::string_view kFormatFlag = "--benchmark_format=";
constexpr std::string_view kMedian = "median";

RecordedRun recordOf(const benchmark::BenchmarkReporter::Run& run) {
    const auto iterations = static_cast<double>(run.iterations);
    return {run.cpu_accumulated_time / iterations, run.real_accumulated_time / iterations, run.counters};
}

} // namespace

TargetReporter::TargetReporter(std::unique_ptr<benchmark::BenchmarkReporter> display)
    : display_(std::move(display)) {}

bool TargetReporter::ReportContext(const Context& context) {
    return display_->ReportContext(context);
}

void TargetReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.error_occurred) {
            anyFailed_ = true;
            continue;
        }
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == kMedian;
        if (run.run_type == Run::RT_Iteration || median) {
            runs_[run.run_name.str()] = recordOf(run);
        }
    }
    display_->ReportRuns(runs);
}

void TargetReporter::Finalize() {
    display_->Finalize();
}

std::optional<RecordedRun> TargetReporter::find(const std::string& name) const {
    const auto it = runs_.find(name);
    return it == runs_.end() ? std::nullopt : std::optional<RecordedRun>(it->second);
}

std::unique_ptr<benchmark::BenchmarkReporter> displayReporterFor(int argc, char** argv) {
    std::string_view format = "console";
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.starts_with(kFormatFlag)) {
            format = argument.substr(kFormatFlag.size());
        }
    }
    if (format == "json") {
        return std::make_unique<benchmark::JSONReporter>();
    }
    if (format != "console") {
        return nullptr;
    }
    return std::make_unique<benchmark::ConsoleReporter>(isatty(STDOUT_FILENO) != 0
                                                            ? benchmark::ConsoleReporter::OO_Color
                                                            : benchmark::ConsoleReporter::OO_None);
}

} // namespace caelo::bench
