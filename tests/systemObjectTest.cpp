// The system object as the host loads it: model time, epoch and scales, the
// current-date parameter, buttons, copies and the lookup of the governing
// system.
#include "host/application.h"
#include "host/container.h"
#include "host/evaluation.h"
#include "host/loading/moduleLoader.h"
#include "host/messages.h"
#include "host/scene.h"
#include "host/sceneEditing.h"
#include "host/services/dateService.h"
#include "host/services/hostError.h"
#include "model/systemScales.h"
#include "tests/moduleSceneTest.h"
#include "tests/testTimeZone.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace caelo::host {
namespace {

using namespace moduleTest;

constexpr std::int32_t kAddBodyAxis = 1102;
constexpr std::int32_t kAddOrbitAxis = 1103;

// 2024-03-01 12:00:00 UTC in seconds since 1970-01-01.
constexpr std::int64_t kCreationClock = 1709294400;

constexpr double kEarthDiameterCm = 1275627400.0;

class SystemObject : public ModuleSceneTest {
protected:
    void SetUp() override {
        setClock([] { return kCreationClock; });
        ModuleSceneTest::SetUp();
    }
    void TearDown() override {
        setClock({});
        ModuleSceneTest::TearDown();
    }

    void evaluateAtSeconds(double seconds) {
        document().time = DocumentTime::fromSeconds(seconds);
        evaluateDocument(document());
    }
    // Parameter 1004 as "YYYY-MM-DDThh:mm:ss", or "none".
    static std::string currentDateOf(const Node& node) {
        const std::optional<HostDateTime> fields = node.parameters.getDateTime(kCurrentDate);
        return fields ? formatDateTime(*fields) : "none";
    }
    static double dayNumberOf(const Node& node, std::int32_t id) {
        const std::optional<HostDateTime> fields = node.parameters.getDateTime(id);
        EXPECT_TRUE(fields.has_value()) << "no date in parameter " << id;
        return fields ? dateTimeToDayNumber(*fields) : 0.0;
    }
};

// Dates are stored to the second.
constexpr double kOneSecondInDays = 1.0 / 86400.0;

TEST_F(SystemObject, DefaultsGiveTenModelDaysPerDocumentSecond) {
    Node& system = add(kSystem);
    EXPECT_EQ(system.parameters.getFloat(kTimeScale, 0.0), 0.1);
    EXPECT_EQ(system.parameters.getFloat(kBodyScale, 0.0), 100.0);
    EXPECT_EQ(system.parameters.getFloat(kDistanceFactor, 0.0), 0.002);
    const double epoch = dayNumberOf(system, kEpoch);

    const std::pair<double, double> secondsToDays[] = {{0.0, 0.0}, {1.0, 10.0}, {0.05, 0.5}, {-2.5, -25.0}};
    for (const auto& [seconds, days] : secondsToDays) {
        evaluateAtSeconds(seconds);
        EXPECT_NEAR(dayNumberOf(system, kCurrentDate) - epoch, days, kOneSecondInDays) << seconds << " s";
    }
}

// Each pass asks for the model date many times at one document time; an edit
// of the time scale or the epoch between two passes at that same time must
// still move it.
TEST_F(SystemObject, ModelDateFollowsEditsAtOneDocumentTime) {
    Node& system = add(kSystem);
    const double epoch = dayNumberOf(system, kEpoch);
    evaluateAtSeconds(1.0);
    EXPECT_NEAR(dayNumberOf(system, kCurrentDate) - epoch, 10.0, kOneSecondInDays);

    editParameter(system, kTimeScale, 0.2);
    evaluateAtSeconds(1.0);
    EXPECT_NEAR(dayNumberOf(system, kCurrentDate) - epoch, 5.0, kOneSecondInDays);

    editParameter(system, kEpoch, DateTime{{2001, 1, 1, 0, 0, 0}});
    evaluateAtSeconds(1.0);
    EXPECT_EQ(currentDateOf(system), "2001-01-06T00:00:00");
}

using test::TimeZone;

TEST_F(SystemObject, EpochAndCurrentDateAreLocalTime) {
    const TimeZone twoHoursAhead("XST-2");

    Node& system = add(kSystem);
    EXPECT_EQ(formatDateTime(*system.parameters.getDateTime(kEpoch)), "2024-03-01T14:00:00");
    evaluateAtSeconds(0.1); // one model day
    EXPECT_EQ(currentDateOf(system), "2024-03-02T14:00:00");

    // An epoch entered in local time is the moment of document time 0.
    editParameter(system, kEpoch, DateTime{{2001, 1, 1, 0, 0, 0}});
    evaluateAtSeconds(0.0);
    EXPECT_EQ(currentDateOf(system), "2001-01-01T00:00:00");
}

// Provenance: 149597870700 m/au x 100 cm/m x (body size / 1275627400 cm) x
// distance factor, with the defaults body size 100 and factor 0.002.
TEST(SystemScales, SizesAndDistancesChangeTogether) {
    struct Case {
        double bodySize, distanceFactor, unitsPerAu;
    };
    const Case cases[] = {{100.0, 0.002, 2345.4791062029553},
                          {200.0, 0.002, 4690.958212405911},
                          {200.0, 0.004, 9381.916424811822}};
    for (const Case& c : cases) {
        const double bodyScale = caelo::SystemBodyScale(c.bodySize);
        EXPECT_NEAR(bodyScale * kEarthDiameterCm, c.bodySize, 1e-12 * c.bodySize) << "the Earth's diameter";
        EXPECT_DOUBLE_EQ(caelo::SystemDistanceScale(bodyScale, c.distanceFactor), c.unitsPerAu);
    }
    EXPECT_DOUBLE_EQ(caelo::SystemTimeFactor(0.1), 0.1 / 86400.0);
}

// A store without the user's flag changes nothing until the document
// notification after loading rebuilds the members from the parameters.
TEST_F(SystemObject, QuietEditsTakeEffectOnlyAfterALoad) {
    Node& system = add(kSystem);
    const double epoch = dayNumberOf(system, kEpoch);
    setParameterQuietly(system, kTimeScale, 0.5);
    evaluateAtSeconds(1.0);
    EXPECT_NEAR(dayNumberOf(system, kCurrentDate) - epoch, 10.0, kOneSecondInDays);

    notifyDocumentLoaded(document());
    evaluateAtSeconds(1.0);
    EXPECT_NEAR(dayNumberOf(system, kCurrentDate) - epoch, 2.0, kOneSecondInDays);
}

TEST_F(SystemObject, CurrentDateIsWrittenOnlyWhenTheModelTimeChanges) {
    Node& system = add(kSystem);
    EXPECT_FALSE(system.parameters.contains(kCurrentDate));
    evaluateAtSeconds(1.0);
    const std::string written = currentDateOf(system);

    // A marker in the parameter survives a pass at the same time...
    system.parameters.set(kCurrentDate, DateTime{{1999, 12, 31, 0, 0, 0}});
    evaluateAtSeconds(1.0);
    EXPECT_EQ(currentDateOf(system), "1999-12-31T00:00:00");

    // ...and is replaced once the time moves.
    evaluateAtSeconds(2.0);
    EXPECT_NE(currentDateOf(system), "1999-12-31T00:00:00");
    evaluateAtSeconds(1.0);
    EXPECT_EQ(currentDateOf(system), written);
}

TEST_F(SystemObject, ZeroTimeScaleNeverWritesANonFiniteDate) {
    Node& system = add(kSystem);
    evaluateAtSeconds(1.0);
    const std::string before = currentDateOf(system);

    // A scene file may carry a time scale the description would refuse.
    system.parameters.setFloat(kTimeScale, 0.0);
    notifyDocumentLoaded(document());
    for (double seconds : {0.0, 1.0, 2.0}) {
        evaluateAtSeconds(seconds);
        EXPECT_EQ(currentDateOf(system), before) << seconds << " s";
    }
}

TEST_F(SystemObject, BuildButtonIsGreyedOnceTheSystemHasAChild) {
    struct Case {
        std::int32_t button;
        std::int32_t childType;
    };
    for (const Case& c : {Case{kAddBodyAxis, kBodyAxis}, Case{kAddOrbitAxis, kOrbitAxis}}) {
        Node& system = add(kSystem);
        EXPECT_TRUE(isParameterEnabled(system, kBuildSolarSystem));
        EXPECT_TRUE(pressButton(system, c.button));
        ASSERT_NE(system.firstChild(), nullptr);
        EXPECT_EQ(system.lastChild()->typeId(), c.childType);
        EXPECT_FALSE(isParameterEnabled(system, kBuildSolarSystem));
        EXPECT_THROW(pressButton(system, kBuildSolarSystem), HostError);
        EXPECT_TRUE(isParameterEnabled(system, kBodyScale));
    }
}

TEST_F(SystemObject, CloneKeepsTheModelTime) {
    Node& system = add(kSystem);
    editParameter(system, kTimeScale, 0.2);
    editParameter(system, kEpoch, DateTime{{2001, 1, 1, 0, 0, 0}});
    Node& clone = cloneNode(application(), system);
    appendChild(document(), clone, nullptr);

    evaluateAtSeconds(1.0); // five model days
    EXPECT_EQ(currentDateOf(clone), "2001-01-06T00:00:00");
    EXPECT_EQ(currentDateOf(clone), currentDateOf(system));
}

} // namespace
} // namespace caelo::host
