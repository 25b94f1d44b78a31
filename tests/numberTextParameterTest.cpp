// Number-text parameters of the module's nodes, typed by a user: the text a
// node keeps must always read back as the value in force.
#include "host/messages.h"
#include "host/services/numberText.h"
#include "tests/moduleSceneTest.h"

#include <string>

namespace caelo::host {
namespace {

using namespace moduleTest;

// Regression: the largest doubles were taken, but their normalised text
// ("1.797693134862316e+308") lies beyond the largest double, so the node
// kept text that is no number and a reload fell back to the default.
TEST_F(ModuleSceneTest, NumbersWhoseNormalisedTextWouldNotReadBackAreRefused) {
    Node& system = add(kSystem);
    Node& orbit = add(kOrbitAxis, &system);
    editParameter(orbit, kMode, kModeElements);
    Node& body = add(kBodyAxis, &orbit);
    Node& tube = add(kTypeTube, &body);
    Node& ring = createTag(application(), tube, kRingTag);
    struct Case {
        Node* node;
        std::int32_t parameter;
    };
    const Case cases[] = {{&body, kEquatorialRadius}, {&orbit, kA}, {&ring, kOuterRadius}};
    for (const Case& c : cases) {
        SCOPED_TRACE(describeNode(*c.node));
        editParameter(*c.node, c.parameter, std::string("1234.5"));
        for (const char* text :
             {"1.7976931348623157e308", "-1.7976931348623157e308", "1.797693134862316e+308"}) {
            editParameter(*c.node, c.parameter, std::string(text));
            EXPECT_EQ(c.node->parameters.getString(c.parameter), "1.234500000000000e+03") << text;
        }
        editParameter(*c.node, c.parameter, std::string("1.7976931348623e308"));
        const std::optional<double> kept = textToNumber(c.node->parameters.getString(c.parameter));
        ASSERT_TRUE(kept.has_value()) << "a large double whose text reads back is taken";
        EXPECT_EQ(*kept, 1.7976931348623e308);
    }
}

} // namespace
} // namespace caelo::host
