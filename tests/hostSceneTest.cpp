// The scene tree: links, removal and cloning.
#include "host/evaluation.h"
#include "host/sceneEditing.h"
#include "host/services/hostError.h"
#include "host/treeDepth.h"
#include "tests/hostTestSupport.h"

#include <gtest/gtest.h>

namespace caelo::host {
namespace {

using testing::kRecordingObject;
using testing::kRecordingTag;
using testing::kTarget;
using testing::recorder;
using HostSceneTest = testing::HostTest;

TEST_F(HostSceneTest, TreeFunctionsOfTheTableWalkObjectsAndTags) {
    Node& parent = add(kTypeNull, "parent");
    Node& first = add(kTypeNull, "first", &parent);
    Node& last = add(kTypeNull, "last", &parent);
    Node& tag0 = addTag(parent, kTypeShadingTag, "tag0");
    Node& tag1 = addTag(parent, kRecordingTag, "tag1");
    const HostInterface& t = table();
    EXPECT_EQ(t.GetFirstChild(toHandle(&parent)), toHandle(&first));
    EXPECT_EQ(t.GetLastChild(toHandle(&parent)), toHandle(&last));
    EXPECT_EQ(t.GetNextSibling(toHandle(&first)), toHandle(&last));
    EXPECT_EQ(t.GetPrevSibling(toHandle(&last)), toHandle(&first));
    EXPECT_EQ(t.GetParent(toHandle(&first)), toHandle(&parent));
    EXPECT_EQ(t.GetParent(toHandle(&parent)), nullptr) << "a top-level object has no parent";
    EXPECT_EQ(t.GetNextSibling(toHandle(&tag0)), toHandle(&tag1));
    EXPECT_EQ(t.GetTagObject(toHandle(&tag1)), toHandle(&parent));
    EXPECT_EQ(t.FindTag(toHandle(&parent), kRecordingTag, 0), toHandle(&tag1));
    EXPECT_EQ(t.FindTag(toHandle(&parent), kRecordingTag, 1), nullptr);
    EXPECT_EQ(t.GetDocument(toHandle(&tag1)), toHandle(&document()));

    // CreateObject makes a node outside any document; AppendChild puts it last.
    HostNode* made = t.CreateObject(kTypeSphere);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(t.GetDocument(made), nullptr);
    t.AppendChild(made, toHandle(&parent));
    EXPECT_EQ(t.GetLastChild(toHandle(&parent)), made);
    EXPECT_EQ(t.GetDocument(made), toHandle(&document()));
    t.AppendChild(toHandle(&parent), made);
    EXPECT_EQ(t.GetParent(toHandle(&parent)), nullptr) << "a node cannot go below its own descendant";
}

TEST_F(HostSceneTest, LinkToARemovedNodeReadsAsNone) {
    Node& holder = add(kRecordingObject, "holder");
    Node& target = add(kTypeSphere, "target");
    HostContainer* container = table().GetParameterContainer(toHandle(&holder));
    table().SetLink(container, kTarget, toHandle(&target));
    EXPECT_EQ(table().GetLink(container, kTarget, toHandle(&document())), toHandle(&target));
    EXPECT_EQ(table().GetLink(container, kTarget, nullptr), nullptr) << "no document, no link";

    const NodeId targetId = target.id();
    removeNode(application(), target);
    EXPECT_EQ(application().findNode(targetId), nullptr);
    EXPECT_EQ(table().GetLink(container, kTarget, toHandle(&document())), nullptr);
    EXPECT_EQ(holder.parameters.getLink(kTarget), targetId) << "the stored link itself is not rewritten";
}

TEST_F(HostSceneTest, StoreAndPassesSpanTheLivingNodesAsScenesComeAndGo) {
    // A session that builds, evaluates and deletes scene after scene keeps
    // tables of the size of its scene, not of every node it ever made, and
    // an identity from long ago still finds nothing.
    Node& first = add(kRecordingObject, "first");
    const NodeId firstId = first.id();
    evaluateDocument(document());
    removeNode(application(), first);
    constexpr int kRounds = 50;
    constexpr int kMembers = 100;
    for (int round = 0; round < kRounds; ++round) {
        Node& group = add(kTypeNull, "group");
        for (int i = 0; i < kMembers; ++i) {
            add(kRecordingObject, "member", &group);
        }
        evaluateDocument(document());
        removeNode(application(), group);
    }
    Node& last = add(kRecordingObject, "last");
    evaluateDocument(document());
    EXPECT_EQ(application().findNode(firstId), nullptr);
    EXPECT_EQ(application().findNode(last.id()), &last);
    EXPECT_LE(application().nodes().pageCount(), 2U) << "the pages of nodes long gone are let go";
    EXPECT_EQ(recorder().matching("evaluate").size(), 1 + kRounds * kMembers + 1)
        << "each object once a pass";
}

TEST_F(HostSceneTest, LinkToANodeOfAnotherDocumentReadsAsNone) {
    Node& holder = add(kRecordingObject, "holder");
    Node& outside = createObject(application(), kTypeSphere);
    holder.parameters.setLink(kTarget, outside.id());
    EXPECT_EQ(table().GetLink(toHandle(&holder.parameters), kTarget, toHandle(&document())), nullptr);
}

TEST_F(HostSceneTest, RemovingASubtreeDestroysEveryInstanceOnce) {
    Node& top = add(kRecordingObject, "top");
    Node& child = add(kRecordingObject, "child", &top);
    addTag(child, kRecordingTag, "tag");
    add(kRecordingObject, "other");
    const std::size_t before = application().nodeCount();
    recorder().clear();

    removeNode(application(), top);
    EXPECT_EQ(recorder().matching("destroy"),
              (std::vector<std::string>{"destroy tag", "destroy child", "destroy top"}));
    EXPECT_EQ(application().nodeCount(), before - 3);
    EXPECT_EQ(document().firstObject()->name, "other");
}

// Destructors broadcast message 7 to the active document while the subtree is
// removed: the broadcast reaches the nodes that remain and none being removed.
TEST_F(HostSceneTest, DestructorBroadcastDuringRemovalReachesOnlyRemainingNodes) {
    Node& top = add(kRecordingObject, "top");
    add(kRecordingObject, "child", &top);
    Node& other = add(kRecordingObject, "other");
    addTag(other, kRecordingTag, "otherTag");
    recorder().clear();
    recorder().broadcastOnDestroy = true;

    removeNode(application(), top);
    EXPECT_EQ(recorder().events,
              (std::vector<std::string>{"destroy child", "message other 7", "message otherTag 7",
                                        "destroy top", "message other 7", "message otherTag 7"}));
}

TEST_F(HostSceneTest, RemovingTheWholeDocumentWithBroadcastingDestructorsIsSafe) {
    Node& top = add(kRecordingObject, "top");
    add(kRecordingObject, "child", &top);
    addTag(top, kRecordingTag, "tag");
    recorder().broadcastOnDestroy = true;
    application().newDocument();
    EXPECT_EQ(recorder().matching("destroy").size(), 3u);
    EXPECT_TRUE(recorder().matching("message").empty()) << "the new document is empty";
}

TEST_F(HostSceneTest, CloneCopiesTheSubtreeAndRemapsInnerLinks) {
    Node& top = add(kRecordingObject, "top");
    Node& inner = add(kTypeSphere, "inner", &top);
    Node& outer = add(kTypeSphere, "outer");
    Node& tag = addTag(inner, kRecordingTag, "tag");
    top.parameters.setLink(kTarget, inner.id());
    tag.parameters.setLink(kTarget, outer.id());
    top.relative = {{1.0, 2.0, 3.0}, {0.1, 0.2, 0.3}, {2.0, 2.0, 2.0}};
    top.frozen.rotation = {0.5, 0.0, 0.0};
    top.editorMode = HOST_DISPLAY_HIDDEN;
    top.setEnabled(false);
    recorder().clear();

    Node& copy = cloneNode(application(), top);
    appendChild(document(), copy, nullptr);
    EXPECT_EQ(recorder().events, (std::vector<std::string>{"copy top", "copy tag"}));
    EXPECT_EQ(recorder().matching("init").size(), 0u) << "a clone is not initialised again";

    Node* innerCopy = copy.firstChild();
    ASSERT_NE(innerCopy, nullptr);
    ASSERT_EQ(innerCopy->tags().size(), 1u);
    EXPECT_NE(innerCopy->id(), inner.id());
    EXPECT_EQ(copy.parameters.getLink(kTarget), innerCopy->id())
        << "a link inside the copy points to the copy";
    EXPECT_EQ(innerCopy->tags()[0]->parameters.getLink(kTarget), outer.id())
        << "a link outside keeps its target";
    EXPECT_EQ(copy.relative, top.relative);
    EXPECT_EQ(copy.frozen, top.frozen);
    EXPECT_EQ(copy.editorMode, HOST_DISPLAY_HIDDEN);
    EXPECT_FALSE(copy.enabled());
    EXPECT_NE(copy.instance(), top.instance());
}

TEST_F(HostSceneTest, CloneThatCopyNodeRefusesLeavesNothing) {
    Node& top = add(kRecordingObject, "top");
    add(kRecordingObject, "child", &top);
    const std::size_t before = application().nodeCount();
    recorder().refuseCopy = true;
    EXPECT_THROW(static_cast<void>(cloneNode(application(), top)), HostError);
    EXPECT_EQ(application().nodeCount(), before);
}

TEST_F(HostSceneTest, CloneWhoseFactoryFailsLeavesNothing) {
    Node& top = add(kRecordingObject, "top");
    add(kRecordingObject, "child", &top);
    add(kRecordingObject, "grandchild", top.firstChild());
    const std::size_t before = application().nodeCount();
    application().faults().failCall("AllocateInstance", 3);
    EXPECT_THROW(static_cast<void>(cloneNode(application(), top)), HostError);
    EXPECT_EQ(application().nodeCount(), before);
}

TEST_F(HostSceneTest, AppendAndMoveRefuseCyclesAndTreesDeeperThanTheLimit) {
    Node& a = add(kTypeNull, "a");
    Node& b = add(kTypeNull, "b", &a);
    EXPECT_THROW(moveNode(document(), a, &b), HostError);
    EXPECT_THROW(appendChild(document(), b, nullptr), HostError) << "b sits in the tree already";
    EXPECT_EQ(b.parent(), &a);

    // Below the end of a chain as deep as trees nest, nothing more goes, by
    // any edit; a subtree of two levels goes no lower than two levels up.
    Node* end = &b;
    for (int level = 3; level <= kMaxTreeDepth; ++level) {
        end = &add(kTypeNull, "", end);
    }
    Node& c = add(kTypeNull, "c");
    EXPECT_THROW(moveNode(document(), c, end), HostError);
    table().AppendChild(toHandle(&c), toHandle(end));
    EXPECT_EQ(c.parent(), nullptr) << "the module's AppendChild leaves it";
    add(kTypeNull, "d", &c);
    EXPECT_THROW(moveNode(document(), c, end->parent()), HostError);
    moveNode(document(), c, end->parent()->parent());
    EXPECT_EQ(c.firstChild()->nextSibling(), nullptr);
    EXPECT_EQ(document().pathOf(*c.firstChild()).size(), 2u * kMaxTreeDepth);
}

} // namespace
} // namespace caelo::host
