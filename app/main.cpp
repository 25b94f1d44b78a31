// caelo: builds, evaluates, shows and exports planetary-system scenes through
// the stand-in host and the module it loads (commands in docs/caelo.md).
#include "app/checkedOutput.h"
#include "app/commands.h"
#include "app/console.h"
#include "app/mainJob.h"
#include "app/scriptLines.h"
#include "host/application.h"
#include "host/loading/moduleLoader.h"
#include "host/services/displayText.h"
#include "host/services/hostError.h"
#include "host/services/readableFile.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <iostream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kOutputFolder = "caelo-out";
// Exit statuses: a command that failed, and a command line that was refused.
constexpr int kFailed = 1;
constexpr int kBadCommandLine = 2;

// A script file already longer than a script may be is refused before any of
// its lines runs.
caelo::host::ReadableFile openScript(const std::string& file) {
    caelo::host::ReadableFile script = file == "-" ? caelo::host::ReadableFile::standardInput("the script")
                                                   : caelo::host::ReadableFile::open(file, "the script");
    if (script.sizeBytes() > caelo::app::kMaxScriptBytes) {
        throw caelo::host::HostError(script.name() + ": " + caelo::app::scriptTooLongReason());
    }
    return script;
}

// A script opened before the host starts, so that a closed standard input is
// found before a file the host opens takes its place. Results are flushed
// before the script waits for more input, as std::cin would.
struct OpenedScript {
    explicit OpenedScript(const std::string& file) : buffer(openScript(file)), stream(&buffer) {
        stream.tie(&std::cout);
    }

    caelo::host::ReadableFileBuffer buffer;
    std::istream stream;
};

int runScript(OpenedScript& script) {
    caelo::app::Console console(std::cout);
    return console.runScript(script.stream, script.buffer.name(), std::cerr);
}

void reportUnwritableOutput(const std::string& command, const std::string& reason) {
    std::cerr << "caelo: " << command << ": cannot write the output: " << reason << '\n';
}

// std::cout through a CheckedOutput while main runs.
class CheckedStandardOutput {
public:
    CheckedStandardOutput() : previous_(std::cout.rdbuf(&output_)) {}
    CheckedStandardOutput(const CheckedStandardOutput&) = delete;
    CheckedStandardOutput& operator=(const CheckedStandardOutput&) = delete;
    ~CheckedStandardOutput() {
        std::cout.flush();
        std::cout.rdbuf(previous_);
    }

    // Flushes the output; when a write failed, says so on standard error,
    // "caelo: <command>: cannot write the output: <reason>", and answers
    // false.
    bool written(const std::string& command) {
        std::cout.flush();
        if (const auto reason = output_.failure()) {
            reportUnwritableOutput(command, *reason);
            return false;
        }
        return true;
    }

private:
    caelo::app::CheckedOutput output_{STDOUT_FILENO};
    std::streambuf* previous_;
};

// The options every command that works on a scene shares.
void addSceneOptions(CLI::App& command, caelo::app::SceneChoice& scene) {
    command.add_option("--scene", scene.sceneFile,
                       "Start from a saved scene file instead of building the solar system");
    command.add_option("--date", scene.date,
                       "Model date for document time 0, ISO 8601: 2026-12-08, 2026-12-08T18:30, "
                       "2026-12-08T18:30:00Z, 2026-12-08T18:30+01:00 (without a zone: local time)");
    command.add_option("--places", scene.places,
                       "theories (default): the planets, the Earth, the Moon and Pluto placed by VSOP87, "
                       "ELP/MPP02 and Meeus; elements: by their element sets alone (the built solar system)");
}

// One line for a command line that cannot be parsed.
std::string describeParseError(const CLI::ParseError& error, const CLI::App& cli) {
    if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
        const std::vector<std::string> extras = cli.remaining(true);
        if (!extras.empty()) {
            const std::string& first = extras.front();
            return caelo::host::excerpt(first) +
                   (first.starts_with("-") ? ": unknown option" : ": unknown subcommand or argument") +
                   " (see caelo --help)";
        }
    }
    return std::string(error.what()) + " (see caelo --help)";
}

} // namespace

int main(int argc, char** argv) {
    CLI::App cli("caelo: an accurate, animated planetary system in a 3D scene.\n"
                 "Without a subcommand, caelo builds the solar system (the Sun, the planets, their moons\n"
                 "and rings) at the current date, evaluates it, prints where the bodies are and writes\n"
                 "caelo-out/solar-system.caelo (the scene), .png (an orrery chart), .glb (one model\n"
                 "year of animation) and .html (a page that plays it in a browser).",
                 "caelo");
    CheckedStandardOutput output;
    cli.require_subcommand(0, 1);
    cli.fallthrough();
    cli.footer("Examples:\n"
               "  caelo\n"
               "  caelo positions --date 2026-12-08 --format csv\n"
               "  caelo export --date 2026-12-08T18:30Z --days 30 --out december.glb\n"
               "  caelo view --date 2026-12-08 --days 60 --out december.html\n"
               "  caelo render --scene my.caelo --view camera --size 1920x1080 --out my.png\n"
               "  caelo eclipses --from 2026-01-01 --to 2028-01-01\n"
               "More in docs/caelo.md.");
    bool quiet = false;
    cli.add_flag("-q,--quiet", quiet, "Show no progress bar");

    caelo::app::PositionsRequest positionsRequest;
    CLI::App* positions = cli.add_subcommand(
        "positions", "Print every body axis with its path, world position and, for the planets and "
                     "barycentres, heliocentric distance (au) and ecliptic longitude and latitude (degrees)");
    addSceneOptions(*positions, positionsRequest.scene);
    positions->add_option("--format", positionsRequest.format, "table (default), csv or json");

    caelo::app::ExportRequest exportRequest;
    CLI::App* exporter = cli.add_subcommand(
        "export",
        "Write the scene as an animated glTF 2.0 file (.glb binary, or .gltf JSON with embedded data)");
    addSceneOptions(*exporter, exportRequest.scene);
    CLI::Option* days =
        exporter->add_option("--days", exportRequest.days,
                             "Model days to animate from the document's time on (default: one model year)");
    CLI::Option* frames =
        exporter->add_option("--frames", exportRequest.frames,
                             "Frames to sample instead of --days, the first at the document's time");
    days->excludes(frames);
    exporter->add_option("--fps", exportRequest.fps,
                         "Frames per second, a whole number (default: the document's)");
    exporter->add_option("--orbit-lines", exportRequest.orbitLines,
                         "tubes (default): thin tubes every renderer draws; lines: glTF line loops; none");
    exporter->add_option(
        "--maps", exportRequest.maps,
        "embedded (default): the globes wear their surface maps, in the file; none: their colours");
    exporter->add_option("--out", exportRequest.out, "The file to write: FILE.glb or FILE.gltf")->required();

    caelo::app::ViewRequest viewRequest;
    CLI::App* view = cli.add_subcommand(
        "view", "Write the scene's animation as one HTML page that plays it in a browser, offline");
    addSceneOptions(*view, viewRequest.scene);
    view->add_option("--days", viewRequest.days,
                     "Model days to animate from the document's time on (default: one model year)");
    view->add_option("--out", viewRequest.out, "The page to write: FILE.html")->required();

    caelo::app::RenderRequest renderRequest;
    CLI::App* render = cli.add_subcommand("render", "Draw a picture of the scene (.png or .svg)");
    addSceneOptions(*render, renderRequest.scene);
    render->add_option("--view", renderRequest.view,
                       "top (default): an orrery chart seen from ecliptic north; camera: the view's camera");
    render->add_option("--size", renderRequest.size, "WIDTHxHEIGHT in pixels (default 1600x1200)");
    render->add_option("--out", renderRequest.out, "The file to write: FILE.png or FILE.svg")->required();

    caelo::app::EclipsesRequest eclipsesRequest;
    CLI::App* eclipses = cli.add_subcommand(
        "eclipses", "List the solar and lunar eclipses of a span: kind, type, greatest eclipse (UT), "
                    "magnitude and gamma");
    eclipses->add_option("--from", eclipsesRequest.from, "First date, ISO 8601 (default: now)");
    eclipses->add_option("--to", eclipsesRequest.to, "Last date, ISO 8601 (default: one year after --from)");
    eclipses->add_option("--format", eclipsesRequest.format, "table (default), csv or json");

    std::string scriptFile;
    CLI::App* script =
        cli.add_subcommand("script", "Run a console script, one command a line (commands: docs/console.md)");
    script->add_option("FILE", scriptFile, "The script file, or - for standard input")->required();

    try {
        cli.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
            const int status = cli.exit(error);
            return output.written("--help") ? status : kFailed;
        }
        std::cerr << "caelo: " << caelo::host::escapedText(describeParseError(error, cli)) << '\n';
        return kBadCommandLine;
    }

    const std::string command = cli.get_subcommands().empty() ? std::string("the main job")
                                                              : cli.get_subcommands().front()->get_name();
    // A file opened later would take the place of a closed standard output
    // and receive what is printed.
    if (::fcntl(STDOUT_FILENO, F_GETFD) == -1) {
        reportUnwritableOutput(command, std::strerror(errno));
        return kFailed;
    }
    try {
        std::optional<OpenedScript> openedScript;
        if (*script) {
            openedScript.emplace(scriptFile);
        }
        caelo::host::HostSession session;
        caelo::host::loadModule(caelo::host::defaultModulePath());
        if (openedScript) {
            const int status = runScript(*openedScript);
            return output.written(command) ? status : kFailed;
        }
        if (*positions) {
            caelo::app::runPositions(positionsRequest, std::cout, std::cerr);
        } else if (*exporter) {
            exportRequest.quiet = quiet;
            caelo::app::runExport(exportRequest, std::cout, std::cerr);
        } else if (*view) {
            viewRequest.quiet = quiet;
            caelo::app::runView(viewRequest, std::cout, std::cerr);
        } else if (*render) {
            caelo::app::runRender(renderRequest, std::cout, std::cerr);
        } else if (*eclipses) {
            caelo::app::runEclipses(eclipsesRequest, std::cout);
        } else {
            caelo::app::runMainJob(std::cout, std::cerr, kOutputFolder, quiet);
        }
        return output.written(command) ? 0 : kFailed;
    } catch (const std::bad_alloc& error) {
        std::cout.flush();
        std::cerr << "caelo: " << command << ": " << caelo::app::failureReason(error) << '\n';
        return kFailed;
    } catch (const std::exception& error) {
        std::cout.flush();
        std::cerr << "caelo: " << caelo::host::escapedText(error.what()) << '\n';
        return kFailed;
    }
}
