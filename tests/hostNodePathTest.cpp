// Node paths: "/0/2#1" read and written.
#include "host/services/hostError.h"
#include "tests/hostTestSupport.h"

#include <gtest/gtest.h>

namespace caelo::host {
namespace {

using testing::kRecordingTag;
using HostNodePathTest = testing::HostTest;

TEST_F(HostNodePathTest, PathsNameNodesBothWays) {
    Node& a = add(kTypeNull, "a");
    Node& b = add(kTypeNull, "b");
    add(kTypeNull, "b0", &b);
    add(kTypeNull, "b1", &b);
    Node& b2 = add(kTypeNull, "b2", &b);
    addTag(b2, kTypeShadingTag, "t0");
    Node& t1 = addTag(b2, kRecordingTag, "t1");

    struct Case {
        const Node* node;
        const char* path;
    };
    for (const Case c : {Case{&a, "/0"}, Case{&b, "/1"}, Case{&b2, "/1/2"}, Case{&t1, "/1/2#1"}}) {
        EXPECT_EQ(document().pathOf(*c.node), c.path);
        EXPECT_EQ(document().nodeAtPath(c.path), c.node) << c.path;
    }
    for (const char* bad :
         {"", "/", "0", "/2", "/1/3", "/1/2#2", "/1/x", "/1/2#", "/1//2", "/-1", "/1/2#1x"}) {
        EXPECT_EQ(document().nodeAtPath(bad), nullptr) << bad;
    }
    EXPECT_THROW(static_cast<void>(document().requireNode("/7")), HostError);
    EXPECT_EQ(document().pathOf(*document().camera()), "") << "the camera sits outside the tree";
}

} // namespace
} // namespace caelo::host
