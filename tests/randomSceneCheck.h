// The invariants of a sound scene and readable reports of where they break,
// shared by the random scene test and the fuzz targets.
#ifndef CAELO_TESTS_RANDOM_SCENE_CHECK_H
#define CAELO_TESTS_RANDOM_SCENE_CHECK_H

#include "host/scene.h"
#include "host/services/matrix.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace caelo::host::randomScene {

// A broken invariant: after which action, of which kind ("non-finite",
// "link", "tree", "idempotence", "round trip", "refusal", "exception",
// "crash" or "hang"), and what exactly.
struct Failure {
    std::size_t actionIndex = 0;
    std::string category;
    std::string message;
};

// The first broken invariant of a document: a non-finite number in a
// transform, colour or Float, Vector or curve parameter; a link to a living
// node of another document or of none; a tree whose parent, sibling, tag and
// document links disagree, a path that does not lead back to its node, or a
// living node that belongs to no document.
[[nodiscard]] std::optional<Failure> findViolation(const Document& document);

// What evaluating the document again at its time changes, after it was
// evaluated once: nothing (the empty text) for a sound scene, else the first
// difference of what its scene file would hold (but the body axes' memory of
// the heading they wrote last, which follows a second writer of the same
// rotation one pass late by design). Objects run parent first in tree order
// and tags after every object, so where the module reads a world place that is set later in the
// pass (a body's globe put outside its body axis, below a later orbit axis,
// or a module object or globe below a ring, an orbit plane or an object held
// by an attitude tag, or a ring tag after an attitude tag on one object), it
// sees that place one pass late; in such a scene each repeat may change it
// while the late places reach their readers (a reader of a late reader's
// place one pass later still), and it must settle within eight repeats.
[[nodiscard]] std::string changesOnReevaluation(Document& document);

// The first line in which two scene texts differ, with the name of the node
// it belongs to: line 12 (in "name": "Earth"): "..." became "...".
[[nodiscard]] std::string firstDifference(const std::string& before, const std::string& after);

// Text in double quotes with quotes, backslashes and bytes outside printable
// ASCII escaped: quotedText("a\n") == "\"a\\x0a\"".
[[nodiscard]] std::string quotedText(std::string_view text);

// "(x, y, z)" with the shortest exact number texts.
[[nodiscard]] std::string vectorText(const Vector& v);

// A parameter value for a report: numbers as exact texts, long strings cut at
// 60 characters, links by the node they lead to.
[[nodiscard]] std::string valueText(const Value& value);

} // namespace caelo::host::randomScene

#endif
