// The subcommands of `caelo` once their options are read: each takes the
// option values as typed, checks them all before any work and throws
// CommandError "<option> '<value>': <what is wrong>" for a bad one (commands
// and options in docs/caelo.md).
//
// Example:
//   runPositions({.scene = {.date = "2000-01-01T12:00Z"}, .format = "csv"}, std::cout);
#ifndef CAELO_APP_COMMANDS_H
#define CAELO_APP_COMMANDS_H

#include "app/sceneSetup.h"

#include <optional>
#include <ostream>
#include <string>

namespace caelo::app {

struct PositionsRequest {
    SceneChoice scene{};
    std::string format = "table"; // table, csv or json
};

// `caelo positions`: the scene's body axes and their places on `out`; a
// warning on `err` when the date lies outside the span of the scene's
// elements (elementSpan.h).
void runPositions(const PositionsRequest& request, std::ostream& out, std::ostream& err);

struct ExportRequest {
    SceneChoice scene{};
    std::optional<std::string> days{};   // model days to cover; excludes `frames`
    std::optional<std::string> frames{}; // frames to sample
    std::optional<std::string> fps{};    // the document's frame rate; nothing: keep it
    std::string orbitLines = "tubes";    // tubes, lines or none
    std::string maps = "embedded";       // embedded or none
    std::string out;                     // FILE.glb or FILE.gltf
    bool quiet = false;                  // no progress bar
};

// `caelo export`: an animated glTF scene from the document's time on, one
// model year long unless `days` or `frames` say otherwise (a single frame for
// a scene without a system object). Says on `out` where the file went, and
// warns on `err` when the span reaches outside that of the scene's elements.
void runExport(const ExportRequest& request, std::ostream& out, std::ostream& err);

struct ViewRequest {
    SceneChoice scene{};
    std::optional<std::string> days{}; // model days to cover (default: one model year)
    std::string out;                   // FILE.html
    bool quiet = false;                // no progress bar
};

// `caelo view`: the same animation as `caelo export` inside one HTML page that
// plays it in a browser, offline (viewerPage.h). Says on `out` where the page
// went, and warns on `err` as the export does. Throws CommandError in a build
// without the viewer (viewerBuilt()).
void runView(const ViewRequest& request, std::ostream& out, std::ostream& err);

struct RenderRequest {
    SceneChoice scene{};
    std::string view = "top";       // top or camera
    std::string size = "1600x1200"; // WIDTHxHEIGHT in pixels
    std::string out;                // FILE.png or FILE.svg
};

// `caelo render`: a picture of the scene as evaluated. Says on `out` where the
// file went, and warns on `err` when the date lies outside the span of the
// scene's elements.
void runRender(const RenderRequest& request, std::ostream& out, std::ostream& err);

struct EclipsesRequest {
    std::optional<std::string> from{}; // ISO 8601 (isoDate.h); nothing: now
    std::optional<std::string> to{};   // nothing: one year after `from`
    std::string format = "table";      // table, csv or json
};

// `caelo eclipses`: every solar and lunar eclipse whose greatest instant lies
// in the span (places/eclipses.h) on `out`.
void runEclipses(const EclipsesRequest& request, std::ostream& out);

} // namespace caelo::app

#endif
