// The evaluation pass and the messages the host delivers.
#include "host/evaluation.h"
#include "host/messages.h"
#include "host/sceneEditing.h"
#include "host/services/hostError.h"
#include "tests/hostTestSupport.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace caelo::host {
namespace {

using namespace testing;
using Events = std::vector<std::string>;
using HostEvaluationTest = HostTest;
using HostMessageTest = HostTest;

// Priorities run in ascending order; at equal priority a parent runs before
// its children (depth-first tree order); tags run after every object.
TEST_F(HostEvaluationTest, ObjectsRunByPriorityParentsFirstThenTags) {
    Node& a = add(kRecordingObject, "a");
    Node& a0 = add(kRecordingObject, "a0", &a);
    add(kRecordingObject, "a00", &a0);
    add(kLateObject, "late", &a);
    Node& b = add(kRecordingObject, "b");
    add(kEarlyObject, "early", &b);
    addTag(a0, kRecordingTag, "tagA0");
    addTag(a, kRecordingTag, "tagA");
    recorder().clear();

    evaluateDocument(document());
    EXPECT_EQ(recorder().events, (Events{"evaluate early", "evaluate a", "evaluate a0", "evaluate a00",
                                         "evaluate b", "evaluate late", "tag tagA on a", "tag tagA0 on a0"}));
}

TEST_F(HostEvaluationTest, EachCallbackRunsOncePerPassAndDisabledObjectsAreSkipped) {
    Node& a = add(kRecordingObject, "a");
    Node& off = add(kRecordingObject, "off");
    addTag(off, kRecordingTag, "tagOff");
    table().SetObjectSwitch(toHandle(&off), HOST_SWITCH_ENABLED, 0);
    recorder().clear();

    evaluateDocument(document());
    EXPECT_FALSE(table().EnrolEvaluation(toHandle(&evaluationListOf(document())), toHandle(&a), 2000, 0))
        << "no pass is being prepared";
    evaluateDocument(document());
    EXPECT_EQ(recorder().events,
              (Events{"evaluate a", "tag tagOff on off", "evaluate a", "tag tagOff on off"}));

    // An object may enrol another one ahead of its offer, once per pass; the
    // other's own enrolment is then refused, in every pass.
    Node& b = add(kRecordingObject, "b");
    HostEvaluationList* list = toHandle(&evaluationListOf(document()));
    std::vector<bool> enrolled;
    recorder().onOffer = [&](Node& node) {
        if (&node == &a) {
            enrolled.push_back(table().EnrolEvaluation(list, toHandle(&b), 2000, 0));
            enrolled.push_back(table().EnrolEvaluation(list, toHandle(&b), 2000, 0));
        }
    };
    recorder().clear();
    evaluateDocument(document());
    evaluateDocument(document());
    EXPECT_EQ(enrolled, (std::vector<bool>{true, false, true, false}));
    // At equal priority the enrolment order holds: b enrolled first.
    EXPECT_EQ(recorder().events, (Events{"evaluate b", "evaluate a", "tag tagOff on off", "evaluate b",
                                         "evaluate a", "tag tagOff on off"}));
}

// A pass holds on to the nodes it enrolled; an earlier callback may remove a
// later node, or hand it to another document through the table, and the pass
// must then leave that node and its tags alone.
TEST_F(HostEvaluationTest, NodesThatLeaveTheDocumentDuringAPassAreSkipped) {
    const std::unique_ptr<Document> elsewhere = createDocument(application());
    Node& holder = createObject(application(), kTypeNull);
    appendChild(*elsewhere, holder, nullptr);
    struct Case {
        const char* what;
        std::function<void(Node& leaving)> action;
    };
    const Case cases[] = {
        {"removed", [](Node& leaving) { removeNode(application(), leaving); }},
        {"moved to another document",
         [&](Node& leaving) { hostInterfaceTable().AppendChild(toHandle(&leaving), toHandle(&holder)); }},
    };
    for (const Case& c : cases) {
        application().newDocument();
        Node& first = add(kRecordingObject, "first");
        Node& leaving = add(kRecordingObject, "leaving");
        addTag(leaving, kRecordingTag, "leavingTag");
        addTag(first, kRecordingTag, "firstTag");
        recorder().clear();
        bool done = false;
        recorder().onEvaluate = [&](Node& evaluated) {
            if (&evaluated == &first && !done) {
                done = true;
                c.action(leaving);
            }
        };
        evaluateDocument(document());
        EXPECT_EQ(recorder().matching("evaluate"), (Events{"evaluate first"})) << c.what;
        EXPECT_EQ(recorder().matching("tag"), (Events{"tag firstTag on first"})) << c.what;
    }
    recorder().onEvaluate = nullptr;
}

// A pass offers from the objects it noted in an earlier pass while the tree
// stays as it was; every change between passes is seen by the next one. An
// offer that changes the tree leaves the objects it removed or switched off
// out of the same pass; the objects it adds take part from the next pass.
TEST_F(HostEvaluationTest, OffersFollowEveryChangeOfTheTree) {
    Node& a = add(kRecordingObject, "a");
    Node& b = add(kRecordingObject, "b");
    Node& c = add(kRecordingObject, "c");
    const auto evaluated = [&] {
        recorder().clear();
        evaluateDocument(document());
        return recorder().matching("evaluate");
    };
    EXPECT_EQ(evaluated(), (Events{"evaluate a", "evaluate b", "evaluate c"}));

    b.setEnabled(false);
    EXPECT_EQ(evaluated(), (Events{"evaluate a", "evaluate c"}));
    b.setEnabled(true);
    moveNode(document(), a, &c);
    add(kRecordingObject, "d");
    EXPECT_EQ(evaluated(), (Events{"evaluate b", "evaluate c", "evaluate a", "evaluate d"}));
    removeNode(application(), c);
    EXPECT_EQ(evaluated(), (Events{"evaluate b", "evaluate d"}));

    Node* added = nullptr;
    recorder().onOffer = [&](Node& offered) {
        if (offered.name == "b" && !added) {
            document().requireNode("/1").setEnabled(false); // d
            added = &add(kRecordingObject, "e");
        }
    };
    EXPECT_EQ(evaluated(), (Events{"evaluate b"}));
    recorder().onOffer = nullptr;
    EXPECT_EQ(evaluated(), (Events{"evaluate b", "evaluate e"}));
}

TEST_F(HostMessageTest, UserEditStoresThenSendsSeventeenWithTheUserFlag) {
    Node& node = add(kRecordingObject, "node");
    recorder().clear();
    editParameter(node, kScale, 2.5);
    EXPECT_EQ(node.parameters.getFloat(kScale, 0.0), 2.5);
    setParameterQuietly(node, kScale, 3.5);
    EXPECT_EQ(node.parameters.getFloat(kScale, 0.0), 3.5);
    EXPECT_TRUE(pressButton(node, kRefresh));
    EXPECT_EQ(recorder().events,
              (Events{"message node 17 flags=16 id=1000", "message node 17 flags=0 id=1000",
                      "message node 18 flags=16 id=1004"}));
}

TEST_F(HostMessageTest, EditsAreCheckedAgainstTheDescription) {
    Node& node = add(kRecordingObject, "node");
    Node& outsider = createObject(application(), kTypeNull);
    struct Case {
        std::int32_t id;
        Value value;
        const char* reason;
    };
    const Case refused[] = {
        {999, 1.0, "no parameter 999"},
        {kScale, 10.5, "above the maximum 10"},
        {kScale, -1.0, "below the minimum 0"},
        {kScale, std::string("x"), "takes a Float value, not a String value"},
        {kScale, std::nan(""), "not a finite number"},
        {kCount, 0, "below the minimum 1"},
        {kCount, 2.5, "takes a whole number"},
        {kMode, 1202, "not one of the choices 1200 (First), 1201 (Second)"},
        {kRatio, std::string("1.5"), "above the maximum 1"},
        {kOffset, Vector{0.0, 2.0, 0.0}, "above the maximum 1"},
        {kDate, DateTime{{2024, 1, 1, 0, 0, 0}}, "read-only"},
        {kGreyed, 1.0, "greyed out"},
        {kRefresh, 1.0, "is a button"},
        {kTarget, Link{outsider.id()}, "not a node of the same document"},
    };
    const Container before = node.parameters;
    recorder().clear();
    for (const Case& c : refused) {
        try {
            editParameter(node, c.id, c.value);
            ADD_FAILURE() << "parameter " << c.id << " was not refused";
        } catch (const HostError& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find("/0"), std::string::npos) << message;
            EXPECT_NE(message.find(c.reason), std::string::npos) << message;
        }
    }
    EXPECT_EQ(node.parameters, before) << "a refused edit stores nothing";
    EXPECT_TRUE(recorder().events.empty()) << "and sends nothing";

    editParameter(node, kCount, 3.0); // an integral Float is taken for an Int32
    EXPECT_EQ(node.parameters.getInt32(kCount, 0), 3);
    editParameter(node, kRatio, std::string("no number")); // left to the node to reject
    EXPECT_EQ(node.parameters.getString(kRatio), "no number");
    EXPECT_THROW(pressButton(node, kGreyedButton), HostError);
    EXPECT_THROW(pressButton(node, kScale), HostError);
}

TEST_F(HostMessageTest, HostObjectsHaveDescriptionsAndRebuildOnUpdate) {
    Node& sphere = add(kTypeSphere, "sphere");
    EXPECT_EQ(sphere.parameters.getFloat(1110, 0.0), 100.0) << "description default";
    editParameter(sphere, 1110, 25.0);
    EXPECT_EQ(sphere.parameters.getFloat(1110, 0.0), 25.0);
    EXPECT_THROW(editParameter(sphere, 1111, 2), HostError) << "too few segments";
    EXPECT_EQ(sphere.rebuildCount, 0u);
    EXPECT_TRUE(table().SendNodeMessage(toHandle(&sphere), HOST_MSG_UPDATE, nullptr));
    EXPECT_EQ(sphere.rebuildCount, 1u);
}

TEST_F(HostMessageTest, MovingASubtreeTellsEachOfItsNodes) {
    Node& from = add(kRecordingObject, "from");
    Node& moved = add(kRecordingObject, "moved", &from);
    add(kRecordingObject, "child", &moved);
    addTag(moved, kRecordingTag, "tag");
    Node& to = add(kRecordingObject, "to");
    recorder().clear();

    moveNode(document(), moved, &to);
    EXPECT_EQ(moved.parent(), &to);
    EXPECT_EQ(recorder().events, (Events{"message moved 1018756 flags=32", "message tag 1018756 flags=32",
                                         "message child 1018756 flags=32"}));
}

TEST_F(HostMessageTest, BroadcastReachesEveryObjectAndTagEvenWhenAHandlerRemovesNodes) {
    Node& a = add(kRecordingObject, "a");
    addTag(a, kRecordingTag, "tagA");
    add(kRecordingObject, "a0", &a);
    add(kRecordingObject, "b");
    add(kRecordingObject, "c");
    recorder().removeSiblingOnRefresh = "b"; // b removes c while the broadcast runs
    recorder().clear();

    EXPECT_TRUE(
        table().BroadcastMessage(toHandle(&document()), HOST_BROADCAST_ALL, HOST_MSG_REFRESH_LINKS, nullptr));
    EXPECT_EQ(recorder().events,
              (Events{"message a 7", "message tagA 7", "message a0 7", "message b 7", "destroy c"}));
}

TEST_F(HostMessageTest, LoadedDocumentNotificationReachesEveryNode) {
    Node& a = add(kRecordingObject, "a");
    addTag(a, kRecordingTag, "tag");
    recorder().clear();
    notifyDocumentLoaded(document());
    EXPECT_EQ(recorder().events, (Events{"message a 1001078 kind=1001", "message tag 1001078 kind=1001"}));
}

} // namespace
} // namespace caelo::host
