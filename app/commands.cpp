#include "commands.h"

#include "console.h"
#include "positions.h"

namespace caelo::app {

void runPositions(const PositionsRequest& request, std::ostream& out) {
    const auto format = positionsFormatNamed(request.format);
    if (!format) {
        throw CommandError("--format '" + request.format + "': expected table, csv or json");
    }
    const OpenScene scene = openScene(request.scene);
    writePositions(scene.document, scene.zoneOffsetDays, *format, out);
}

} // namespace caelo::app
