// Fuzzes dates: the host's date texts, the command line's ISO 8601 dates, day
// numbers and calendar fields typed into a system's epoch. Whatever is
// accepted must be a date the date service represents, must print as a date
// and read back from its text and its day number to the same fields; whatever
// the service cannot represent must be refused, and no print may show a date
// that is none.
#include "app/console.h"
#include "app/isoDate.h"
#include "fuzz/fuzzHost.h"
#include "fuzz/parserChecks.h"
#include "host/application.h"
#include "host/container.h"
#include "host/messages.h"
#include "host/sceneEditing.h"
#include "host/services/dateService.h"
#include "host/services/hostError.h"
#include "places/systemObject.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

using namespace caelo;
using namespace caelo::host;

// Calendar fields as a user's edit of a system's epoch: refused, or stored
// as a representable date.
void checkEpochEdit(const HostDateTime& fields) {
    Document& document = application().newDocument();
    Node& system = createObject(application(), kTypeCaeloSystem);
    appendChild(document, system, nullptr);
    try {
        editParameter(system, OCAELOSYSTEM_EPOCH, DateTime{fields});
    } catch (const HostError&) {
        return;
    }
    const std::optional<HostDateTime> stored = system.parameters.getDateTime(OCAELOSYSTEM_EPOCH);
    if (!stored) {
        fuzz::reportBroken("epoch edit", "the accepted epoch is not stored");
    }
    fuzz::requireDateRoundTrips("epoch edit", *stored);
    fuzz::requireSound(document, "scene after an epoch edit");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::startHost();
    const fuzz::SceneFreedAfterInput freed;
    fuzz::checkDates({data, size});
    checkEpochEdit(fuzz::frontAs<HostDateTime>({data, size}));
    return 0;
}
