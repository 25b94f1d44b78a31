// The caelo command as users run it: the built program with its subcommands,
// their outputs, and every kind of bad input refused cleanly.
#include "app/scriptLines.h"
#include "host/services/base64.h"
#include "host/services/displayText.h"
#include "outputs/viewer/viewerPage.h"
#include "tests/programTestSupport.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

using caelo::testing::exitCodeOf;
using caelo::testing::Outcome;
using caelo::testing::readFile;

class Cli : public caelo::testing::WorkingFolderTest {
protected:
    Cli() : WorkingFolderTest("cli") {}

    // Runs caelo with `arguments` in the working folder, in universal time
    // unless `zone` names another TZ, after the shell commands `before` (a
    // limit). The arguments come last, so that they may redirect the
    // standard streams themselves.
    Outcome caelo(const std::string& arguments, const std::string& zone = "UTC0",
                  const std::string& before = "true") const {
        const std::string command = "cd '" + folder_.string() + "' && " + before + " && TZ='" + zone +
                                    "' '" CAELO_TEST_CAELO_EXE "' < /dev/null > ../" + runFile("out") +
                                    " 2> ../" + runFile("err") + " " + arguments;
        const int status = std::system(command.c_str());
        Outcome run;
        run.exitCode = exitCodeOf(status);
        run.out = readFile(folder_.parent_path() / runFile("out"));
        run.err = readFile(folder_.parent_path() / runFile("err"));
        fs::remove(folder_.parent_path() / runFile("out"));
        fs::remove(folder_.parent_path() / runFile("err"));
        return run;
    }

    // Every file and folder below the working folder.
    std::set<std::string> contents() const {
        std::set<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(folder_)) {
            names.insert(fs::relative(entry.path(), folder_).string());
        }
        return names;
    }

    static Json jsonOf(const Outcome& run) { return Json::parse(run.out); }

private:
    // Captured output lives beside the working folder, so that the folder
    // holds only what caelo wrote.
    std::string runFile(const char* stream) const { return folder_.filename().string() + "." + stream; }
};

TEST_F(Cli, BadInputIsRefusedWithOneLineAndLeavesNothingBehind) {
    std::ofstream(folder_ / "bad.caelo") << "{\"format\": \"caelo-scene\", ";
    std::ofstream(folder_ / "caelo-out") << "a file where the output folder would go";
    std::ofstream(folder_ / "plain.txt") << "add 5140\nsave plain.caelo\n";
    ASSERT_EQ(caelo("script plain.txt").exitCode, 0);
    fs::create_directory(folder_ / "a-folder");
    std::string comments;
    for (std::size_t bytes = 0; bytes <= caelo::app::kMaxScriptBytes; bytes += 2) {
        comments += "#\n";
    }
    std::ofstream(folder_ / "comments.txt") << comments;
    const std::string huge(100000, 'x');
    const std::string hugeExcerpt = std::string(caelo::host::kExcerptCharacters, 'x') + "...";
    const std::set<std::string> before = contents();

    struct Case {
        std::string arguments;
        std::string message; // the start of the line after "caelo: "
    };
    std::vector<Case> cases = {
        {"positions --date 2026-02-30", "date '2026-02-30': day 30 is not in 2026-02"},
        {"positions --date tomorrow", "date 'tomorrow': expected YYYY-MM-DD"},
        {"positions --date", "--date"},
        {"positions --scene missing.caelo", "missing.caelo: "},
        {"positions --scene bad.caelo", "bad.caelo: "},
        {"positions --scene plain.caelo --date 2026-12-08", "--date: the scene holds no system object"},
        {"positions --format xml", "--format 'xml': expected table, csv or json"},
        {"export --maps some --out a.glb", "--maps 'some': expected embedded or none"},
        {"eclipses --from 1700-01-01",
         "--from '1700-01-01': eclipses are found from 1800-01-01 to 2200-01-01"},
        {"eclipses --from 2027-01-01 --to 2026-01-01", "--to '2026-01-01': must lie after --from"},
        {"eclipses --format xml", "--format 'xml': expected table, csv or json"},
        {"positions --places guess", "--places 'guess': expected theories or elements"},
        {"positions --bogus", "--bogus: unknown option"},
        {"bogus", "bogus: unknown subcommand or argument"},
        {"", "caelo-out: cannot create the output folder"},
        {"export", "--out is required"},
        {"export --out a.obj", "--out 'a.obj': the file name must end in .glb or .gltf"},
        {"export --out nowhere/a.glb", "--out 'nowhere/a.glb': the folder nowhere does not exist"},
        {"export --out caelo-out/a.glb", "--out 'caelo-out/a.glb': caelo-out is not a folder"},
        {"export --fps 0 --out a.glb", "--fps '0': expected a whole number"},
        {"export --fps 2.5 --out a.glb", "--fps '2.5': expected a whole number"},
        {"export --frames 0 --out a.glb", "--frames '0': expected a whole number"},
        {"export --frames 1000000 --out a.glb",
         "--frames '1000000': expected a whole number from 1 to 108000"},
        {"export --days 0 --out a.glb", "--days '0': expected a number greater than 0"},
        {"export --days 1e9 --out a.glb", "--days '1e9': more than 108000 frames"},
        {"export --days 3 --frames 2 --out a.glb", "--days excludes --frames"},
        {"export --scene plain.caelo --days 3 --out a.glb", "--days '3': the scene holds no system object"},
        {"export --date 2026-02-30 --out a.glb", "date '2026-02-30'"},
        {"view", "--out is required"},
        {"view --out a.glb", "--out 'a.glb': the file name must end in .html or .htm"},
        {"view --days 0 --out a.html", "--days '0': expected a number greater than 0"},
        {"render", "--out is required"},
        {"render --out a.jpg", "--out 'a.jpg': the file name must end in .png or .svg"},
        {"render --view side --out a.png", "--view 'side': expected top or camera"},
        {"render --size 10 --out a.png", "--size '10': expected WIDTHxHEIGHT"},
        {"render --size 0x10 --out a.png", "--size '0x10': expected WIDTHxHEIGHT"},
        {"render --scene bad.caelo --out a.png", "bad.caelo: "},
        // Regression: a script line or a script had no bound, so that
        // /dev/zero filled the memory.
        {"script /dev/zero", "/dev/zero:1: the line is longer than 65536 bytes (64 KiB)"},
        {"script - < /dev/zero", "<stdin>:1: the line is longer than 65536 bytes (64 KiB)"},
        {"script comments.txt", "comments.txt: the script is longer than 16777216 bytes (16 MiB)"},
        {"script - < comments.txt", "<stdin>: the script is longer than 16777216 bytes (16 MiB)"},
        // Regression: a script that could not be read, and output that could
        // not be written, ended with status 0 and no message.
        {"script a-folder", "a-folder: cannot open the script: is a folder"},
        {"script /proc/self/mem", "/proc/self/mem: cannot read the script: Input/output error"},
        {"script - <&-", "<stdin>: cannot read the script: Bad file descriptor"},
        {"positions > /dev/full", "positions: cannot write the output: No space left on device"},
        {"script plain.txt > /dev/full", "script: cannot write the output: No space left on device"},
        {"positions >&-", "positions: cannot write the output: Bad file descriptor"},
        // Regression: messages quoted their input whole and raw.
        {"positions --format " + huge, "--format '" + hugeExcerpt + "': expected table, csv or json"},
        {"--" + huge, "--" + hugeExcerpt.substr(2) + ": unknown option"},
        {"positions --date \"$(printf 'a\\033[2J\\007')\"", "date 'a\\x1b[2J\\x07': expected YYYY-MM-DD"},
    };
    if (!caelo::viewer::viewerBuilt()) {
        cases.push_back({"view --out a.html", std::string(caelo::viewer::kNoViewerReason)});
    }
    for (const Case& c : cases) {
        const Outcome run = caelo(c.arguments);
        EXPECT_NE(run.exitCode, 0) << c.arguments;
        EXPECT_EQ(run.err.rfind("caelo: " + std::string(c.message), 0), 0u) << c.arguments << "\n" << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << c.arguments << "\n" << run.err;
        EXPECT_EQ(contents(), before) << c.arguments;
    }
#ifndef __SANITIZE_ADDRESS__ // the sanitizer's shadow memory needs more address space than this limit
    // Regression: running out of memory was reported as "std::bad_alloc", and
    // freeing the scene afterwards aborted the program.
    std::string copies = "add 5140\n";
    for (int doubling = 0; doubling < 40; ++doubling) {
        copies += "copy /0 /0\n";
    }
    std::ofstream(folder_ / "copies.txt") << copies;
    const Outcome starved = caelo("script copies.txt", "UTC0", "ulimit -v 400000");
    EXPECT_EQ(starved.exitCode, 1) << starved.err;
    EXPECT_NE(starved.err.find(": error: out of memory\n"), std::string::npos) << starved.err;
    EXPECT_EQ(std::count(starved.err.begin(), starved.err.end(), '\n'), 1) << starved.err;
#endif
}

// Regression: the names a hostile scene file gives its objects reached the
// terminal raw, so that escape sequences in them cleared the screen or moved
// the cursor.
TEST_F(Cli, HostileNamesReachTheTerminalEscaped) {
    std::ofstream(folder_ / "hostile.caelo")
        << R"({"format": "caelo-scene", "version": 1, "time": {"numerator": 0, "denominator": 1}, "fps": 30,
        "camera": null, "objects": [{"id": 1, "type": 1032495, "name": "\u001b[2J\r\u0007Evil, \"Sun\"\n\u009b1m"}]})";
    std::ofstream(folder_ / "dump.txt") << "load hostile.caelo\ndump\n";
    const std::string escaped = R"(\x1b[2J\r\x07Evil, "Sun"\n\u{009b}1m)";
    struct Case {
        const char* arguments;
        std::string shown; // how the name appears in the output
    };
    const Case cases[] = {
        {"positions --scene hostile.caelo", escaped},
        {"positions --scene hostile.caelo --format csv", R"("\x1b[2J\r\x07Evil, ""Sun""\n\u{009b}1m",/0,)"},
        {"script dump.txt", "/0 \"" + escaped + "\" (Body Axis, 1032495)"},
    };
    for (const Case& c : cases) {
        const Outcome run = caelo(c.arguments);
        ASSERT_EQ(run.exitCode, 0) << c.arguments << "\n" << run.err;
        EXPECT_NE(run.out.find(c.shown), std::string::npos) << c.arguments << "\n" << run.out;
        EXPECT_EQ(std::count_if(run.out.begin(), run.out.end(),
                                [](char b) {
                                    return (static_cast<unsigned char>(b) < 0x20 && b != '\n') || b == 0x7f;
                                }),
                  0)
            << c.arguments;
        EXPECT_EQ(run.out.find("\xc2\x9b"), std::string::npos) << c.arguments;
    }
}

TEST_F(Cli, PositionsInEveryFormatAtJ2000) {
    const std::string at = "positions --date 2000-01-01T12:00:00Z";
    const Outcome json = caelo(at + " --format json");
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const Json report = jsonOf(json);
    EXPECT_EQ(report["modelJulianDate"], 2451545.0);
    EXPECT_NEAR(report["deltaTSeconds"].get<double>(), 63.86, 0.01);
    const auto heliocentric = std::count_if(report["bodies"].begin(), report["bodies"].end(),
                                            [](const Json& body) { return !body["distanceAu"].is_null(); });
    EXPECT_EQ(heliocentric, 9) << "eight planets' places and the Pluto-Charon barycentre's";

    const Outcome csv = caelo(at + " --format csv");
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'),
              1 + static_cast<long>(report["bodies"].size()));

    const Outcome table = caelo(at);
    ASSERT_EQ(table.exitCode, 0) << table.err;
    EXPECT_NE(table.out.find("model Julian Date   2451545.000000 (UT)"), std::string::npos) << table.out;
    EXPECT_EQ(table.out.find("-0.0000 "), std::string::npos) << "no signed zeros";
    EXPECT_TRUE(table.err.empty()) << table.err;
}

// The 2027 eclipse over Egypt in every format: total, its greatest eclipse at
// 10:06:34 UT (Espenak's 10:07:50 TD less his Delta T of 72 s is 10:06:38),
// gamma 0.142.
TEST_F(Cli, EclipsesInEveryFormat) {
    const std::string span = "eclipses --from 2027-08-01T00:00Z --to 2027-08-03T00:00Z";
    const Outcome json = caelo(span + " --format json");
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const Json eclipses = jsonOf(json)["eclipses"];
    ASSERT_EQ(eclipses.size(), 1u);
    EXPECT_EQ(eclipses[0]["kind"], "solar");
    EXPECT_EQ(eclipses[0]["type"], "total");
    EXPECT_EQ(eclipses[0]["greatest"], "2027-08-02T10:06:34Z");
    EXPECT_NEAR(eclipses[0]["gamma"].get<double>(), 0.1421, 1e-3);
    const Outcome csv = caelo(span + " --format csv");
    EXPECT_EQ(csv.out, "kind,type,greatest,magnitude,gamma,penumbral_magnitude,delta_t_s\n"
                       "solar,total,2027-08-02T10:06:34Z,1.0799,0.1421,,76.1\n");
    const Outcome table = caelo(span);
    EXPECT_NE(table.out.find("solar  total      2027-08-02T10:06:34Z"), std::string::npos) << table.out;
    // positions says when its date falls inside an eclipse.
    const Outcome during = caelo("positions --date 2027-08-02T10:00Z --format json");
    ASSERT_EQ(during.exitCode, 0) << during.err;
    EXPECT_EQ(jsonOf(during)["eclipse"]["greatest"], "2027-08-02T10:06:34Z");
    EXPECT_TRUE(jsonOf(caelo("positions --date 2027-08-05 --format json"))["eclipse"].is_null());
}

TEST_F(Cli, DateWithoutZoneIsLocalTime) {
    const Outcome run = caelo("positions --date 2000-01-01T17:30 --format json", "IST-5:30");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NEAR(jsonOf(run)["modelJulianDate"].get<double>(), 2451545.0, 1e-6);
}

TEST_F(Cli, SavedSceneKeepsItsEpochOrTakesTheGivenDate) {
    // The preset built now, as the main job builds it, without its exports.
    std::ofstream(folder_ / "build.txt") << "add 1032493\npress /0 1101\nsave solar-system.caelo\n";
    ASSERT_EQ(caelo("script build.txt").exitCode, 0);
    const Outcome kept = caelo("positions --scene solar-system.caelo --format json");
    ASSERT_EQ(kept.exitCode, 0) << kept.err;
    // The main job's epoch is now, to the second.
    const auto now = static_cast<double>(std::time(nullptr)) / 86400.0 + 2440587.5;
    EXPECT_NEAR(jsonOf(kept)["modelJulianDate"].get<double>(), now, 120.0 / 86400.0);

    const std::string j2000 = " --date 2000-01-01T12:00:00Z --format json";
    const Outcome loaded = caelo("positions --scene solar-system.caelo" + j2000);
    const Outcome built = caelo("positions --places elements" + j2000); // as the console's button builds it
    ASSERT_EQ(loaded.exitCode, 0) << loaded.err;
    ASSERT_EQ(built.exitCode, 0) << built.err;
    EXPECT_EQ(jsonOf(loaded)["bodies"], jsonOf(built)["bodies"]);
}

// The width and height in a PNG file's header, or {0, 0} for another file.
std::pair<std::uint32_t, std::uint32_t> pngSize(const std::string& bytes) {
    const std::string signature = "\x89PNG\r\n\x1a\n";
    if (bytes.size() < 24 || bytes.compare(0, signature.size(), signature) != 0 ||
        bytes.compare(12, 4, "IHDR") != 0) {
        return {0, 0};
    }
    const auto bigEndian = [&bytes](std::size_t at) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
        }
        return value;
    };
    return {bigEndian(16), bigEndian(20)};
}

TEST_F(Cli, ExportAndRenderWriteTheFilesAskedFor) {
    const std::string j2000 = " --date 2000-01-01T12:00:00Z";
    const Outcome glb = caelo("export" + j2000 + " --frames 3 --fps 24 --out a.glb");
    ASSERT_EQ(glb.exitCode, 0) << glb.err;
    EXPECT_EQ(glb.out.rfind("Wrote 3 frames at 24 frames per second to ", 0), 0u) << glb.out;
    EXPECT_TRUE(glb.err.empty()) << "no progress bar when standard error is no terminal: " << glb.err;
    EXPECT_EQ(readFile(folder_ / "a.glb").substr(0, 4), "glTF");

    const Outcome gltf = caelo("export" + j2000 + " --days 2 --out a.gltf");
    ASSERT_EQ(gltf.exitCode, 0) << gltf.err;
    EXPECT_NE(gltf.out.find("Wrote 7 frames at 30 frames per second"), std::string::npos) << gltf.out;
    EXPECT_EQ(Json::parse(readFile(folder_ / "a.gltf"))["asset"]["version"], "2.0");

    const Outcome png = caelo("render" + j2000 + " --size 320x240 --out a.png");
    ASSERT_EQ(png.exitCode, 0) << png.err;
    EXPECT_EQ(pngSize(readFile(folder_ / "a.png")), std::make_pair(320u, 240u));

    const Outcome svg = caelo("render" + j2000 + " --view camera --out a.svg");
    ASSERT_EQ(svg.exitCode, 0) << svg.err;
    EXPECT_NE(readFile(folder_ / "a.svg").find("<svg"), std::string::npos);

    EXPECT_EQ(contents(), (std::set<std::string>{"a.glb", "a.gltf", "a.png", "a.svg"}))
        << "nothing but the outputs is left behind";
}

TEST_F(Cli, MainJobWritesTheSceneTheChartAndOneModelYear) {
    const Outcome job = caelo("");
    ASSERT_EQ(job.exitCode, 0) << job.err;
    EXPECT_NE(job.out.find("model Julian Date"), std::string::npos) << job.out;
    EXPECT_NE(job.out.find("next eclipse"), std::string::npos) << job.out;
    std::vector<std::string> files{"solar-system.caelo", "solar-system.png", "solar-system.glb"};
    if (caelo::viewer::viewerBuilt()) {
        files.emplace_back("solar-system.html");
    } else {
        EXPECT_NE(job.out.find(caelo::viewer::kNoViewerReason), std::string::npos) << job.out;
    }
    for (const std::string& file : files) {
        const fs::path path = fs::canonical(folder_) / "caelo-out" / file;
        EXPECT_TRUE(fs::exists(path)) << file;
        EXPECT_NE(job.out.find(path.string()), std::string::npos) << "says where " << file << " is";
    }
    EXPECT_NE(job.out.find("1097 frames at 30 frames per second"), std::string::npos) << job.out;
    EXPECT_EQ(pngSize(readFile(folder_ / "caelo-out" / "solar-system.png")), std::make_pair(1600u, 1200u));
    EXPECT_EQ(readFile(folder_ / "caelo-out" / "solar-system.glb").substr(0, 4), "glTF");
    EXPECT_EQ(contents().size(), files.size() + 1) << "the folder and its files, no temporary file";
    if (!caelo::viewer::viewerBuilt()) {
        GTEST_SKIP() << "the page: " << caelo::viewer::kNoViewerReason;
    }
    // The page carries the same file as the export, base64 between its
    // scene element's tags.
    const std::string glb = readFile(folder_ / "caelo-out" / "solar-system.glb");
    const std::string page = readFile(folder_ / "caelo-out" / "solar-system.html");
    EXPECT_NE(page.find(">" + caelo::host::base64(glb) + "</script>"), std::string::npos);
    EXPECT_EQ(page.find("@SCENE_DATA@"), std::string::npos);
}

TEST_F(Cli, HelpDescribesTheCommandsAndTheirOptions) {
    const Outcome help = caelo("--help");
    EXPECT_EQ(help.exitCode, 0);
    for (const char* word : {"positions", "export", "view", "render", "eclipses", "script", "--quiet"}) {
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    }
    const std::pair<const char*, std::vector<const char*>> commands[] = {
        {"positions", {"--scene", "--date", "--format"}},
        {"export", {"--scene", "--date", "--days", "--frames", "--fps", "--maps", "--out"}},
        {"view", {"--scene", "--date", "--days", "--out"}},
        {"render", {"--scene", "--date", "--view", "--size", "--out"}},
        {"eclipses", {"--from", "--to", "--format"}},
    };
    for (const auto& [command, options] : commands) {
        const Outcome run = caelo(std::string(command) + " --help");
        EXPECT_EQ(run.exitCode, 0) << command;
        for (const char* option : options) {
            EXPECT_NE(run.out.find(option), std::string::npos) << command << " " << option;
        }
    }
}

} // namespace
