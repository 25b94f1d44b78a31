// The caelo console as users run it: the built program on small scripts.
#include "tests/programTestSupport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

using caelo::testing::exitCodeOf;
using caelo::testing::Outcome;
using caelo::testing::readFile;

class ConsoleTest : public caelo::testing::WorkingFolderTest {
protected:
    ConsoleTest() : WorkingFolderTest("console") {}

    // Runs caelo with `arguments` in the working folder; `input` becomes its
    // standard input.
    Outcome caelo(const std::string& arguments, const std::string& input = {}) const {
        std::ofstream(folder_ / "stdin.txt") << input;
        const std::string command = "cd '" + folder_.string() + "' && '" CAELO_TEST_CAELO_EXE "' " +
                                    arguments + " < stdin.txt > stdout.txt 2> stderr.txt";
        const int status = std::system(command.c_str());
        Outcome run;
        run.exitCode = exitCodeOf(status);
        run.out = readFile(folder_ / "stdout.txt");
        run.err = readFile(folder_ / "stderr.txt");
        return run;
    }

    Outcome script(const std::string& text) const {
        std::ofstream(folder_ / "script.txt") << text;
        return caelo("script script.txt");
    }

    // The JSON lines of a run's output (those of `dump --json`), parsed.
    static std::vector<Json> jsonDumps(const Outcome& run) {
        std::vector<Json> dumps;
        std::istringstream lines(run.out);
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line.front() == '{') {
                dumps.push_back(Json::parse(line));
            }
        }
        return dumps;
    }
};

TEST_F(ConsoleTest, FailingLineStopsTheScriptNamingItsNumberAndReason) {
    // Every script builds a system at /0 with a body axis at /0/0, then fails
    // at line 5; the line after it must not run.
    const std::string prologue = "# a comment\n\nadd 1032493\nadd 1032495 /0\n";
    struct Case {
        const char* line;
        const char* reason; // a part of the message
    };
    const Case cases[] = {
        {"bogus 1", "unknown command 'bogus'"},
        {"set /0 9999 1", "9999"},                   // no such parameter
        {"set /0 1000 fast", "'fast'"},              // not a number
        {"set /0 1000 0", "1000"},                   // below the time scale's limit
        {"set /0 1004 2000-01-01 00:00:00", "1004"}, // read-only
        {"set /0 1003 2001-02-29 00:00:00", "2001-02-29"},
        {"set /0/0 1011 /7", "/7"},         // link to no node
        {"set /0/0 1007 1200.5", "1200.5"}, // a choice needs a whole number
        {"set /0 1101", "button"},
        {"add 1032493 /3", "/3"},
        {"add 424242", "424242"},
        {"tag /0 1032493", "1032493"}, // an object type is no tag
        {"transform /0 spin 1 2 3", "spin"},
        {"transform /0 pos 1 2", "missing z"},
        {"time 1/0", "1/0"},
        {"time 1e30", "1e30"}, // beyond an exact 64-bit fraction
        // Regression: -2^63 was taken and overflowed when its fraction was reduced.
        {"time -9223372036854775808/1", "'-9223372036854775808/1'"},
        // Regression: number texts that are no finite number kept the old value
        // and the line succeeded.
        {"set /0/0 1001 nan", "'nan' is no finite number in range; expected a decimal number such as 1.5"},
        {"set /0/0 1001 1e309", "'1e309' is no finite number"},
        {"set /0/0 1001 1,5", "'1,5' is no finite number"},
        {"set /0 1000 0x10", "'0x10' is no finite number in range; expected a decimal number"},
        // Regression: a date beyond the calendar was taken and printed as
        // 0000-00-00T00:00:00.
        {"set /0 1003 2000000000-01-01 00:00:00", "hh:mm:ss from -"},
        {"move /0 /0/0", "/0"}, // into its own subtree
        {"load missing.caelo", "missing.caelo"},
        {"eval now", "unexpected 'now'"},
    };
    for (const Case& c : cases) {
        const Outcome run = script(prologue + c.line + "\nadd 1032493\n");
        EXPECT_NE(run.exitCode, 0) << c.line;
        EXPECT_NE(run.err.find("script.txt:5: error: "), std::string::npos) << c.line << "\n" << run.err;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << c.line << "\n" << run.err;
        EXPECT_EQ(run.out, "/0\n/0/0\n") << c.line;
    }
}

TEST_F(ConsoleTest, EditsButtonsAndTransformsReadBackExactlyFromTheJsonDump) {
    const Outcome run = script("new\n"
                               "add 1032493\n"
                               "press /0 1103\n"
                               "press /0 1102\n"
                               "add 5160 /0/1\n"
                               "tag /0/1 1032499\n"
                               "add 5159\n"
                               "set /1 1100 1 2.5 3e-5\n"
                               "set /0/1/0 1110 12.5\n"
                               "set /0 1000 0.12345678901234568\n"
                               "set --quiet /0 1002 4e-3\n"
                               "set /0 1003 2001-02-03 04:05:06\n"
                               "set /0/0 1000 1201\n"
                               "set /0/0 1022 true\n"
                               "set /0/1 1011 /0/1/0\n"
                               "set /0/1 1007 1201\n"
                               "transform /1 pos 1.5 -2.25 1e-300\n"
                               "transform /1 basescale 2 3 4\n"
                               "time 1/30\n"
                               "eval\n"
                               "dump --json\n");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, 22), "/0\n/0/1/0\n/0/1#0\n/1\n{\"");
    const std::vector<Json> dumps = jsonDumps(run);
    ASSERT_EQ(dumps.size(), 1u);
    const Json& document = dumps[0];
    EXPECT_EQ(document["time"].get<double>(), 1.0 / 30.0);
    EXPECT_EQ(document["fps"], 30);
    ASSERT_EQ(document["objects"].size(), 2u);
    const Json& box = document["objects"][1];
    EXPECT_EQ(box["params"]["1100"], Json({1.0, 2.5, 3e-5}));
    EXPECT_EQ(box["relPos"], Json({1.5, -2.25, 1e-300}));
    EXPECT_EQ(box["baseScale"], Json({2.0, 3.0, 4.0}));
    // world = frozen x relative: the frozen scale scales the position too.
    EXPECT_EQ(box["world"], Json({{"off", {3.0, -6.75, 4.0 * 1e-300}},
                                  {"x", {2.0, 0.0, 0.0}},
                                  {"y", {0.0, 3.0, 0.0}},
                                  {"z", {0.0, 0.0, 4.0}}}));

    const Json& system = document["objects"][0];
    EXPECT_EQ(system["path"], "/0");
    EXPECT_EQ(system["type"], 1032493);
    EXPECT_EQ(system["params"]["1000"].get<double>(), 0.12345678901234568);
    EXPECT_EQ(system["params"]["1002"].get<double>(), 0.004);
    EXPECT_EQ(system["params"]["1003"], Json({{"date", "2001-02-03T04:05:06"}}));
    EXPECT_TRUE(system["params"]["1004"].contains("date")) << "the evaluation writes the current date";

    const Json& orbit = system["children"][0];
    const Json& body = system["children"][1];
    EXPECT_EQ(orbit["type"], 1032494);
    EXPECT_EQ(orbit["params"]["1022"], true);
    EXPECT_EQ(body["type"], 1032495);
    EXPECT_EQ(body["params"]["1011"], Json({{"link", "/0/1/0"}}));
    EXPECT_TRUE(body["params"]["1007"].is_number_integer());
    EXPECT_EQ(body["params"]["1007"], 1201);
    ASSERT_EQ(body["tags"].size(), 1u);
    EXPECT_EQ(body["tags"][0]["path"], "/0/1#0");
    EXPECT_EQ(body["tags"][0]["type"], 1032499);

    const Json& sphere = body["children"][0];
    EXPECT_EQ(sphere["path"], "/0/1/0");
    EXPECT_EQ(sphere["type"], 5160);
    // The evaluation resized the linked globe from the body's default 6500 km
    // radius: 100 scene units per Earth diameter of 12756.274 km.
    EXPECT_DOUBLE_EQ(sphere["params"]["1110"].get<double>(), 6500.0 * 100.0 / 12756.274);
    for (const char* key : {"relRot", "relScale", "basePos", "baseRot", "world", "editorMode", "renderMode",
                            "enabled", "tags", "children", "name", "params"}) {
        EXPECT_TRUE(sphere.contains(key)) << key;
    }
    EXPECT_EQ(document["camera"]["type"], 5103);
}

TEST_F(ConsoleTest, SaveThenLoadGivesTheSameDump) {
    const Outcome run = script("add 1032493\n"
                               "press /0 1103\n"
                               "press /0 1102\n"
                               "add 5160 /0/1\n"
                               "tag /0/1 1032499\n"
                               "set /0/1 1011 /0/1/0\n"
                               "set /0 1003 1999-12-31 23:59:59\n"
                               "copy /0/1 /0/0\n"
                               "transform /0/0 rot 0.5 -0.25 0.125\n"
                               "time 2.5\n"
                               "eval\n"
                               "dump --json\n"
                               "save saved scene.caelo\n"
                               "new\n"
                               "load saved scene.caelo\n"
                               "dump --json\n");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<Json> dumps = jsonDumps(run);
    ASSERT_EQ(dumps.size(), 2u);
    EXPECT_EQ(dumps[0], dumps[1]) << dumps[0].dump(1) << "\n---\n" << dumps[1].dump(1);
    EXPECT_EQ(dumps[1]["objects"][0]["children"][0]["children"][0]["params"]["1011"],
              Json({{"link", "/0/0/0/0"}}))
        << "the copy's globe link points to the copied sphere";
}

// Regression: a chain of 3,000 objects built with `add` saved, but its file
// could not be read back ("nested deeper than 4096 levels"). The console now
// builds trees as deep as the reader reads (1000 levels) and no deeper, and
// saving, dumping, copying, evaluating and removing the deepest of them runs
// in bounded stack.
TEST_F(ConsoleTest, DeepestTreeTheConsoleBuildsSavesAndReadsBackAndOneLevelMoreIsRefused) {
    const int deepest = 1000;
    std::string lines = "add 5140\n";
    std::string parent = "/0";
    for (int level = 2; level <= deepest; ++level) {
        lines += "add 5140 " + parent + "\n";
        parent += "/0";
    }
    const std::string& last = parent; // the object at level 1000
    lines += "tag " + last +
             " 5612\n"
             "save deep.caelo\n"
             "dump --json\n"
             "copy /0\n"
             "eval\n"
             "dump\n"
             "delete /1\n"
             "new\n"
             "load deep.caelo\n"
             "dump --json\n"
             "add 5140 " +
             last + "\n";
    const Outcome run = script(lines);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("script.txt:" + std::to_string(deepest + 11) + ": error: an object under /0/0/0/"),
              std::string::npos)
        << run.err;
    EXPECT_NE(
        run.err.find("(level 1000) would reach level 1001, deeper than the 1000 levels objects may nest"),
        std::string::npos)
        << run.err;
    const std::vector<Json> dumps = jsonDumps(run);
    ASSERT_EQ(dumps.size(), 2u);
    EXPECT_EQ(dumps[0], dumps[1]) << "the saved tree reads back whole";
}

TEST_F(ConsoleTest, ReadsTheScriptFromStandardInput) {
    const Outcome run = caelo("script -", "add 1032493\nadd 5160 /0\ndump\nnope\n");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out.substr(0, 8), "/0\n/0/0\n");
    EXPECT_NE(run.out.find("/0/0 \""), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("<stdin>:4: error: unknown command 'nope'"), std::string::npos) << run.err;
}

TEST_F(ConsoleTest, MainJobSavesASceneThatLoadsBack) {
    const Outcome job = caelo("");
    ASSERT_EQ(job.exitCode, 0) << job.err;
    EXPECT_NE(job.out.find("model Julian Date"), std::string::npos) << job.out;
    ASSERT_TRUE(fs::exists(folder_ / "caelo-out" / "solar-system.caelo"));

    const Outcome load = script("load caelo-out/solar-system.caelo\ndump --json\n");
    ASSERT_EQ(load.exitCode, 0) << load.err;
    const std::vector<Json> dumps = jsonDumps(load);
    ASSERT_EQ(dumps.size(), 1u);
    const Json& system = dumps[0]["objects"][0];
    EXPECT_EQ(system["type"], 1032493);
    // The Sun's body axis: orbit plane, equator plane, then its globe.
    const Json& sun = system["children"][0];
    EXPECT_EQ(sun["type"], 1032495);
    EXPECT_EQ(sun["params"]["1011"], Json({{"link", "/0/0/2"}}));
}

} // namespace
