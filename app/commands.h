// The subcommands of `caelo` once their options are read: each takes the
// option values as typed, checks them before any work and throws CommandError
// "<option> '<value>': <what is wrong>" for a bad one (commands and options in
// docs/caelo.md).
//
// Example:
//   runPositions({.scene = {.date = "2000-01-01T12:00Z"}, .format = "csv"}, std::cout);
#ifndef CAELO_APP_COMMANDS_H
#define CAELO_APP_COMMANDS_H

#include "sceneSetup.h"

#include <ostream>
#include <string>

namespace caelo::app {

struct PositionsRequest {
    SceneChoice scene{};
    std::string format = "table"; // table, csv or json
};

// `caelo positions`: the scene's body axes and their places on `out`.
void runPositions(const PositionsRequest& request, std::ostream& out);

} // namespace caelo::app

#endif
