// The parameter container: its sorted storage against a plain map under
// random edits, and typed reads and writes across types.
#include "host/container.h"

#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <random>
#include <string>

namespace caelo::host {
namespace {

// Every id with its value, in iteration order.
std::map<std::int32_t, Value> contentsOf(const Container& container) {
    std::map<std::int32_t, Value> contents;
    std::int32_t previous = std::numeric_limits<std::int32_t>::min();
    bool first = true;
    for (const auto& [id, value] : container.values()) {
        EXPECT_TRUE(first || id > previous) << "ids out of order at " << id;
        first = false;
        previous = id;
        contents.emplace(id, value);
    }
    return contents;
}

TEST(HostContainer, RandomEditsKeepTheSameContentsAsAMapInIdOrder) {
    std::mt19937 random(20261209);
    std::uniform_int_distribution<std::int32_t> anyId(-40, 40);
    std::uniform_int_distribution<int> anyEdit(0, 5);
    Container container;
    std::map<std::int32_t, Value> expected;
    for (int step = 0; step < 4000; ++step) {
        const std::int32_t id = anyId(random);
        switch (anyEdit(random)) {
        case 0:
            container.setFloat(id, step * 0.5);
            expected[id] = step * 0.5;
            break;
        case 1:
            container.setString(id, std::to_string(step).c_str());
            expected[id] = std::to_string(step);
            break;
        case 2:
            container.setLink(id, static_cast<NodeId>(step));
            expected[id] = Link{static_cast<NodeId>(step)};
            break;
        case 3:
            container.set(id, Vector{1.0, 2.0, double(step)});
            expected[id] = Vector{1.0, 2.0, double(step)};
            break;
        default:
            container.erase(id);
            expected.erase(id);
            break;
        }
        ASSERT_EQ(container.contains(id), expected.contains(id)) << "step " << step;
    }
    EXPECT_EQ(contentsOf(container), expected);
    EXPECT_EQ(container.empty(), expected.empty());
    container.clear();
    EXPECT_TRUE(container.empty());
    EXPECT_EQ(container.values().begin(), container.values().end());
}

TEST(HostContainer, TypedReadsAnswerTheFallbackForAbsentIdsAndOtherTypes) {
    Container container;
    container.setInt32(5, 7);
    container.setFloat(3, 2.5);
    EXPECT_EQ(container.getInt32(5, -1), 7);
    EXPECT_EQ(container.getFloat(5, -1.0), -1.0); // an Int32 is not read as a Float
    EXPECT_EQ(container.getFloat(4, -1.0), -1.0); // absent, between two ids
    EXPECT_EQ(container.getString(3), "");
    EXPECT_EQ(container.getLink(3), kNoNode);
    EXPECT_EQ(container.getCurve(3), nullptr);
    EXPECT_FALSE(container.getDateTime(99).has_value());

    // A typed write replaces a value of another type in place.
    container.setString(5, "text");
    EXPECT_EQ(container.getString(5), "text");
    EXPECT_EQ(container.getInt32(5, -1), -1);
    EXPECT_EQ(contentsOf(container).size(), 2u);
}

TEST(HostContainer, RewritingACurveKeepsItsStorage) {
    Container container;
    Curve curve;
    curve.knots.resize(8);
    container.setCurve(1, curve);
    const HostCurveKnot* storage = container.getCurve(1)->knots.data();
    curve.knots[3].position.x = 4.0;
    container.setCurve(1, curve);
    EXPECT_EQ(container.getCurve(1)->knots.data(), storage);
    EXPECT_EQ(container.getCurve(1)->knots[3].position.x, 4.0);
}

} // namespace
} // namespace caelo::host
