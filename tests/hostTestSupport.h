// Test support for the host's tests: a small recording node class registered
// through the host's C interface table, as a module registers its classes, and
// a fixture that returns the host to its start-up state after each test.
#ifndef CAELO_TESTS_HOST_TEST_SUPPORT_H
#define CAELO_TESTS_HOST_TEST_SUPPORT_H

#include "host/application.h"
#include "host/interfaceTable.h"
#include "host/scene.h"

#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace caelo::host::testing {

// Type ids of the recording classes.
inline constexpr std::int32_t kRecordingObject = 900001;
inline constexpr std::int32_t kRecordingTag = 900002;
inline constexpr std::int32_t kEarlyObject = 900003; // enrols with priority 1000
inline constexpr std::int32_t kLateObject = 900004;  // enrols with priority 3000

// Parameters of the recording classes' description "Trecording".
enum RecordingParameter : std::int32_t {
    kScale = 1000,   // float in [0, 10]
    kCount = 1001,   // int32 in [1, 5]
    kMode = 1002,    // cycle 1200 or 1201
    kTarget = 1003,  // link
    kRefresh = 1004, // button
    kDate = 1005,    // date-time, read-only
    kRatio = 1006,   // number text in [0, 1]
    kOffset = 1007,  // vector in [-1, 1]
    kGreyed = 1008,  // float the class always reports greyed out
    kGreyedButton = 1009,
};

// What the recording classes saw, in order: "init a", "evaluate a",
// "tag t on a", "message a 17 flags=16 id=1000", "destroy a", "copy a".
struct Recorder {
    std::vector<std::string> events;
    // Broadcast message 7 to the active document from every destructor.
    bool broadcastOnDestroy = false;
    // Remove the named node's next sibling when it receives message 7.
    std::string removeSiblingOnRefresh;
    // Refuse CopyNode.
    bool refuseCopy = false;
    // Called with every object and tag as it evaluates, after its event.
    std::function<void(Node&)> onEvaluate;
    // Called with every object offered the evaluation list, before it enrols.
    std::function<void(Node&)> onOffer;

    void clear() { events.clear(); }
    [[nodiscard]] std::vector<std::string> matching(const std::string& prefix) const;
};

[[nodiscard]] Recorder& recorder();

// Registers the four recording types through the C table and their
// description.
void registerRecordingTypes();

// Starts every test with a fresh host (recording types registered, the
// recorder empty, a new active document) and shuts the host down after it.
class HostTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    [[nodiscard]] Document& document() { return application().activeDocument(); }
    // A new object of a type, named, appended below parent (nullptr: top level).
    Node& add(std::int32_t type, const std::string& name, Node* parent = nullptr);
    Node& addTag(Node& object, std::int32_t type, const std::string& name);

    [[nodiscard]] const HostInterface& table() const { return hostInterfaceTable(); }
};

} // namespace caelo::host::testing

#endif
