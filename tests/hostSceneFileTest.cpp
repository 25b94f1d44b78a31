// Scene files: save and load round trips, unknown types, malformed files.
#include "host/files/sceneFile.h"
#include "host/sceneEditing.h"
#include "host/services/atomicFile.h"
#include "host/services/hostError.h"
#include "host/services/jsonReader.h"
#include "tests/hostTestSupport.h"

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace caelo::host {
namespace {

using namespace testing;
using Events = std::vector<std::string>;
using Names = std::vector<std::string>;

class HostSceneFileTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        folder_ = std::filesystem::temp_directory_path() / ("caelo-host-scene-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        std::filesystem::remove_all(folder_);
        HostTest::TearDown();
    }

    std::filesystem::path file(const std::string& name) const { return folder_ / name; }

    static std::string read(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    static void write(const std::filesystem::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    // The names in the test's folder, sorted.
    [[nodiscard]] Names entries() const {
        Names names;
        for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // A document with every kind of value, tags, links and transforms.
    void buildRichScene() {
        Node& system = add(kRecordingObject, "system");
        Node& globe = add(kTypeSphere, "globe", &system);
        Node& box = add(kTypeBox, "band", &system);
        Node& wrap = add(kTypeWrapDeformer, "wrap", &box);
        Node& tag = addTag(globe, kRecordingTag, "tag");
        addTag(globe, kTypeShadingTag, "shading");
        system.parameters.setLink(kTarget, globe.id());
        tag.parameters.setLink(kTarget, document().camera()->id());
        wrap.parameters.setLink(1001, box.id());
        system.parameters.set(kDate, DateTime{{2024, 2, 29, 23, 59, 58}});
        system.parameters.set(kRatio, std::string("5.000000000000000e-01"));
        system.parameters.set(kOffset, Vector{0.1, -0.2, 1e-300});
        system.parameters.setFloat(kGreyed, std::numeric_limits<double>::quiet_NaN());
        system.parameters.setFloat(999, -std::numeric_limits<double>::infinity());
        system.parameters.setBool(998, true);
        Curve curve;
        curve.knots.push_back({{0.0, 0.3, 0.0}, {0.0, 0.0, 0.0}, {0.1, 0.0, 0.0}, 0x10000, 0});
        curve.knots.push_back({{1.0, 0.3, 0.0}, {-0.1, 0.0, 0.0}, {0.0, 0.0, 0.0}, 0x10000, 0});
        wrap.parameters.set(1013, curve);
        system.relative = {{1.0, 2.0, 3.0}, {0.1, 0.2, 0.3}, {1.0, 2.0, 0.5}};
        globe.frozen = {{0.0, 0.0, 0.1}, {0.7, -0.2, 0.0}, {1.0, 1.0, 1.0}};
        globe.color = {2, {0.0, 0.5, 1.0}, true};
        table().SetObjectSwitch(toHandle(&box), HOST_SWITCH_EDITOR, HOST_DISPLAY_HIDDEN);
        table().SetObjectSwitch(toHandle(&box), HOST_SWITCH_ENABLED, 0);
        document().time = {7, 3};
        document().fps = 25;
        document().camera()->relative.position = {8.0, 4.0, -8.0};
    }

    std::filesystem::path folder_;
};

TEST_F(HostSceneFileTest, SaveLoadSaveGivesTheSameBytes) {
    buildRichScene();
    const std::filesystem::path first = file("first.caelo");
    const std::filesystem::path second = file("second.caelo");
    saveScene(document(), first);
    recorder().clear();

    Document& loaded = loadScene(application(), first);
    EXPECT_EQ(&loaded, &document());
    saveScene(loaded, second);
    EXPECT_EQ(read(first), read(second));
    EXPECT_TRUE(recorder().matching("init").empty()) << "loading builds nodes without InitNode";

    Node& system = document().requireNode("/0");
    Node& globe = document().requireNode("/0/0");
    EXPECT_EQ(table().GetLink(toHandle(&system.parameters), kTarget, toHandle(&loaded)), toHandle(&globe));
    EXPECT_EQ(globe.tags()[0]->parameters.getLink(kTarget), document().camera()->id());
    EXPECT_TRUE(std::isnan(system.parameters.getFloat(kGreyed, 0.0)));
    EXPECT_EQ(system.parameters.getFloat(999, 0.0), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(system.parameters.getVector(kOffset, {}).z, 1e-300);
    EXPECT_EQ(document().time, (DocumentTime{7, 3}));
    EXPECT_EQ(document().requireNode("/0/1").enabled(), false);
    EXPECT_EQ(document().camera()->relative.position, (Vector{8.0, 4.0, -8.0}));
}

TEST_F(HostSceneFileTest, LoadingSendsTheDocumentNotificationToEveryNode) {
    Node& a = add(kRecordingObject, "a");
    add(kRecordingObject, "child", &a);
    addTag(a, kRecordingTag, "tag");
    saveScene(document(), file("scene.caelo"));
    recorder().clear();
    loadScene(application(), file("scene.caelo"));
    EXPECT_EQ(recorder().matching("message"),
              (Events{"message a 1001078 kind=1001", "message tag 1001078 kind=1001",
                      "message child 1001078 kind=1001"}));
    EXPECT_EQ(recorder().matching("destroy").size(), 3u) << "the old document went away";
}

// A scene saved with types that are gone on the next start keeps their nodes
// and writes them back unchanged.
TEST_F(HostSceneFileTest, NodesOfUnknownTypesAreKeptAndWrittenBackUnchanged) {
    buildRichScene();
    const std::string text = sceneToText(document());
    shutdownHost(); // the recording types are unregistered now
    ASSERT_EQ(application().findType(kRecordingObject), nullptr);

    application().adoptDocument(sceneFromText(application(), text, "scene"));
    const Node& system = document().requireNode("/0");
    EXPECT_EQ(system.type(), nullptr);
    EXPECT_EQ(system.instance(), nullptr);
    EXPECT_EQ(sceneToText(document()), text);
}

TEST_F(HostSceneFileTest, MalformedFilesAreRefusedWithThePlaceAndTheDocumentStays) {
    add(kRecordingObject, "kept");
    saveScene(document(), file("good.caelo"));
    const std::string good = read(file("good.caelo"));
    const Document* open = &document();
    const std::string openText = sceneToText(document());

    struct Case {
        std::string from;
        std::string to;
        std::string place;
    };
    const std::vector<Case> cases = {
        {"\"version\": 1", "\"version\": 1,,", "line 3, column"},
        {"\"caelo-scene\"", "\"other\"", "at /format"},
        {"\"version\": 1", "\"version\": 2", "at /version"},
        {"\"denominator\": 1", "\"denominator\": 0", "at /time/denominator"},
        {"\"float\": 1.0", "\"float\": \"one\"", "at /objects/0/parameters/1000/float"},
        {"\"float\": 1.0", "\"complex\": 1.0", "at /objects/0/parameters/1000"},
        {"\"name\": \"Camera\"", "\"name\": \"Camera\", \"editorMode\": 7", "at /camera/editorMode"},
        {"\"id\": 2", "\"id\": 1", "at /objects/0/id: the id 1 is used twice"},
        {"\"type\": 900001", "\"type\": 5612", "at /objects/0/type"},
        {"\"float\": 1.0", "\"link\": 42", "no node with id 42"},
        {"\"objects\": [", "\"things\": [", "missing member \"objects\""},
        // Regression: a link id of 2^63 was read as -2^63 ("no node with id
        // -9223372036854775808"). Whole numbers beyond their bits, or written
        // with a fraction or an exponent, are quoted as the file writes them.
        {"\"float\": 1.0", "\"link\": 9223372036854775808",
         "at /objects/0/parameters/1000/link: the number 9223372036854775808 does not fit in 64 bits"},
        {"\"id\": 2", "\"id\": -9223372036854775809",
         "at /objects/0/id: the number -9223372036854775809 does not fit in 64 bits"},
        {"\"numerator\": 0", "\"numerator\": 18446744073709551616",
         "at /time/numerator: the number 18446744073709551616 does not fit in 64 bits"},
        {"\"denominator\": 1", "\"denominator\": 9223372036854775808.0",
         "at /time/denominator: expected a whole number written as digits, not 9223372036854775808.0"},
        {"\"fps\": 30", "\"fps\": 1e30", "at /fps: expected a whole number written as digits, not 1e30"},
        {"\"fps\": 30", "\"fps\": 9223372036854775808",
         "at /fps: the number 9223372036854775808 does not fit in 32 bits"},
        {"\"type\": 900001", "\"type\": 2.5",
         "at /objects/0/type: expected a whole number written as digits, not 2.5"},
        {"\"float\": 1.0", "\"int32\": 1E+2",
         "at /objects/0/parameters/1000/int32: expected a whole number written as digits, not 1E+2"},
    };
    for (const Case& c : cases) {
        std::string text = good;
        const std::size_t at = text.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.from;
        text.replace(at, c.from.size(), c.to);
        const std::filesystem::path bad = file("bad.caelo");
        write(bad, text);
        recorder().clear();
        try {
            loadScene(application(), bad);
            ADD_FAILURE() << "accepted: " << c.to;
        } catch (const HostError& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find(bad.string()), std::string::npos) << message;
            EXPECT_NE(message.find(c.place), std::string::npos) << message;
        }
        EXPECT_EQ(&document(), open);
        EXPECT_EQ(sceneToText(document()), openText);
        EXPECT_TRUE(recorder().matching("message").empty()) << c.to;
        EXPECT_EQ(recorder().matching("init").size(), 0u);
    }
    EXPECT_THROW(loadScene(application(), file("missing.caelo")), HostError);
}

// Regression: a number beyond the range of a double escaped the reader as the
// JSON library's own exception instead of a HostError, ending the program.
TEST_F(HostSceneFileTest, NumbersBeyondTheRangeOfADoubleAreRefused) {
    const std::string text =
        R"({"format": "caelo-scene", "version": 1, "time": {"numerator": 0, "denominator": 1},
        "fps": 30, "camera": null, "objects": [{"id": 1, "type": 5140, "relative": {"position": [1e400, 0, 0]}}]})";
    try {
        static_cast<void>(sceneFromText(application(), text, "huge.caelo"));
        ADD_FAILURE() << "a number beyond the range of a double was read";
    } catch (const HostError& error) {
        EXPECT_NE(std::string(error.what()).find("huge.caelo: number overflow"), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(application().nodeCount(), 1u) << "only the open document's camera is left";
}

// Regression: a device was read without end (/dev/zero until memory ran out)
// and a folder was read as empty text, reported as bad syntax; a file that
// could not be opened gave no reason, and the size and the nesting of a file
// were only found once it had been read whole.
TEST_F(HostSceneFileTest, FilesThatCannotBeReadOrBreakALimitAreRefusedWithTheReason) {
    add(kTypeNull, "kept");
    const std::string openText = sceneToText(document());
    const std::filesystem::path large = file("large.caelo");
    write(large, "");
    std::filesystem::resize_file(large, kMaxJsonFileBytes + 1);
    // Unclosed brackets: the nesting is refused at the bracket that breaks it,
    // before the end of the text would be found to be bad syntax.
    const std::filesystem::path deep = file("deep.caelo");
    write(deep, std::string(2 * kMaxSceneJsonDepth, '['));
    struct Case {
        std::filesystem::path file;
        std::string reason; // what follows "<file>: "
    };
    const Case cases[] = {
        {"/dev/zero", "cannot open the file: not a regular file"},
        {folder_, "cannot open the file: is a folder"},
        {file("missing.caelo"), "cannot open the file: No such file or directory"},
        {large, "larger than 268435456 bytes (256 MiB)"},
        {deep, "line 1, column 2009: nested deeper than 2008 levels, the most a scene file of the deepest "
               "tree nests"},
    };
    for (const Case& c : cases) {
        try {
            loadScene(application(), c.file);
            ADD_FAILURE() << "read " << c.file;
        } catch (const HostError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(c.file.string() + ": " + c.reason, 0), 0u)
                << error.what();
        }
        EXPECT_EQ(sceneToText(document()), openText);
    }
}

// Regression: nesting without bound would be read with unbounded recursion.
// A tree as deep as the host holds, whose deepest object holds the deepest
// value (a curve on a tag), nests its file as deep as scene files may nest,
// and reads back; a file of one level more is refused.
TEST_F(HostSceneFileTest, FilesNestedTooDeeplyAreRefused) {
    Node* deepest = nullptr;
    for (int level = 1; level <= kMaxTreeDepth; ++level) {
        deepest = &add(kTypeNull, "", deepest);
    }
    Curve curve;
    curve.knots.emplace_back();
    addTag(*deepest, kRecordingTag, "").parameters.set(1000, curve);
    const std::string deepestText = sceneToText(document());
    int nesting = 0;
    int mostNesting = 0;
    for (const char c : deepestText) {
        nesting += c == '[' || c == '{' ? 1 : c == ']' || c == '}' ? -1 : 0;
        mostNesting = std::max(mostNesting, nesting);
    }
    EXPECT_EQ(mostNesting, kMaxSceneJsonDepth);
    EXPECT_EQ(sceneToText(*sceneFromText(application(), deepestText, "deepest")), deepestText);
    const std::size_t nodesBefore = application().nodeCount();

    std::string objects;
    const int depth = kMaxTreeDepth + 1;
    for (int i = 1; i <= depth; ++i) {
        objects += R"({"id": )" + std::to_string(i) + R"(, "type": 5140, "children": [)";
    }
    for (int i = 1; i <= depth; ++i) {
        objects += "]}";
    }
    const std::string text =
        R"({"format": "caelo-scene", "version": 1, "time": {"numerator": 0, "denominator": 1},
        "fps": 30, "camera": null, "objects": [)" +
        objects + "]}";
    try {
        static_cast<void>(sceneFromText(application(), text, "deep"));
        ADD_FAILURE() << "a file nested 1001 levels deep was read";
    } catch (const HostError& error) {
        EXPECT_NE(std::string(error.what()).find("nest deeper than 1000 levels"), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(application().nodeCount(), nodesBefore) << "nothing of the refused file is left";
}

TEST_F(HostSceneFileTest, FailedSaveLeavesTheOldFileAndNoTemporaryFile) {
    add(kTypeNull, "a");
    const std::filesystem::path target = file("scene.caelo");
    std::filesystem::create_directory(target); // a folder where the file should go
    EXPECT_THROW(saveScene(document(), target), HostError);
    EXPECT_TRUE(std::filesystem::is_directory(target));
    EXPECT_EQ(entries(), Names{"scene.caelo"}) << "no temporary file is left behind";
    EXPECT_THROW(saveScene(document(), folder_ / "no-such-folder" / "x.caelo"), HostError);
}

// Regressions: saving replaced a symbolic link by a plain file, replaced a
// FIFO, and gave a 0600 file back as 0644.
TEST_F(HostSceneFileTest, SavingKeepsLinksPermissionsAndWhatIsNotAFile) {
    add(kTypeNull, "a");
    write(file("real.caelo"), "old");
    std::filesystem::permissions(file("real.caelo"),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::filesystem::create_symlink("real.caelo", file("link.caelo"));
    saveScene(document(), file("link.caelo"));
    EXPECT_TRUE(std::filesystem::is_symlink(file("link.caelo")));
    EXPECT_EQ(read(file("real.caelo")), sceneToText(document()));
    EXPECT_EQ(std::filesystem::status(file("real.caelo")).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    ASSERT_EQ(mkfifo(file("pipe.caelo").c_str(), 0600), 0);
    try {
        saveScene(document(), file("pipe.caelo"));
        ADD_FAILURE() << "saved over a FIFO";
    } catch (const HostError& error) {
        EXPECT_THAT(error.what(),
                    ::testing::HasSubstr("pipe.caelo: cannot save the scene: not a regular file"));
    }
    EXPECT_TRUE(std::filesystem::is_fifo(file("pipe.caelo")));
    EXPECT_EQ(entries(), (Names{"link.caelo", "pipe.caelo", "real.caelo"}));
}

// Regression: Ctrl-C, SIGTERM or SIGHUP during a save left the partial
// "<file>.saving-<pid>" behind.
TEST_F(HostSceneFileTest, InterruptedSavesLeaveNoTemporaryFile) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        EXPECT_EXIT(
            {
                const TemporaryFile temporary(file("scene.caelo"));
                std::raise(signal);
                std::exit(0);
            },
            ::testing::KilledBySignal(signal), "")
            << strsignal(signal);
        EXPECT_EQ(entries(), Names{}) << strsignal(signal);
    }
}

// Regression: temporary names were unique by process id only, and those of
// writers that had ended stayed forever.
TEST_F(HostSceneFileTest, TemporaryNamesAreUniqueAndStaleOnesAreRemoved) {
    const std::filesystem::path target = file("scene.caelo");
    {
        const TemporaryFile first(target);
        const TemporaryFile second(target);
        EXPECT_NE(first.path(), second.path());
        EXPECT_THAT(first.path().filename().string(),
                    ::testing::StartsWith("scene.caelo.saving-" + std::to_string(getpid()) + "-"));
    }
    const pid_t ended = fork();
    if (ended == 0) {
        _exit(0);
    }
    waitpid(ended, nullptr, 0);
    const std::string stale = "scene.caelo.saving-" + std::to_string(ended);
    const std::string running = "scene.caelo.saving-" + std::to_string(getppid()) + "-1-0123456789abcdef";
    for (const std::string& name :
         {stale, stale + "-7-0123456789abcdef", running, std::string("scene.caelo.saving-notes")}) {
        write(file(name), "partial");
    }
    add(kTypeNull, "a");
    saveScene(document(), target);
    EXPECT_EQ(entries(), (Names{"scene.caelo", running, "scene.caelo.saving-notes"}));
}

} // namespace
} // namespace caelo::host
