// Scene files: a whole document as versioned JSON (format in
// docs/scene-file.md).
#ifndef CAELO_HOST_FILES_SCENE_FILE_H
#define CAELO_HOST_FILES_SCENE_FILE_H

#include "host/application.h"
#include "host/scene.h"
#include "host/services/jsonReader.h"
#include "host/treeDepth.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace caelo::host {

inline constexpr const char* kSceneFormat = "caelo-scene";
inline constexpr int kSceneVersion = 1;

// How deep the JSON of a scene file nests at most: as deep as that of a tree
// of kMaxTreeDepth levels, which the reader reads. Each level of objects
// costs two levels of JSON (an object and its "children"); the top object
// and "objects" add two, the deepest object has no "children" (one less), and
// what it holds nests at most seven more (tags, a tag, its parameters, a
// parameter, a curve, a knot, a vector). Deeper files are refused as they are
// read, with line and column.
inline constexpr int kJsonLevelsPerObjectLevel = 2;
inline constexpr int kMaxSceneJsonDepth = kJsonLevelsPerObjectLevel * kMaxTreeDepth + 2 - 1 + 7;
// The nesting the scene reader's JSON may have, and what it stands for.
inline constexpr JsonNesting kSceneNesting{kMaxSceneJsonDepth,
                                           "the most a scene file of the deepest tree nests"};

// The document as scene-file text (ends with a line break). The same document
// always gives the same text.
[[nodiscard]] std::string sceneToText(const Document& document);

// Writes the document: the text goes to a temporary file in the same folder,
// which is then renamed over the target, so an existing file is replaced whole
// or not at all. Throws HostError naming the file.
void saveScene(const Document& document, const std::filesystem::path& file);

// Builds a new document of `host` from scene-file text, outside the active
// one: nodes are made by their types' factories (no InitNode) and their
// parameters restored. Nodes of types nobody registered are kept as they
// are. No message is sent. Throws HostError naming `origin` and the place (a
// JSON pointer, or line and column for bad syntax); nothing of the new
// document remains then.
[[nodiscard]] std::unique_ptr<Document> sceneFromText(Application& host, std::string_view text,
                                                      const std::string& origin);

// Reads a file with sceneFromText, makes the new document the active one (the
// old one is removed) and sends 1001078 of kind 1001 to every node. When the
// file cannot be read or is malformed, throws HostError and the open document
// stays as it was.
Document& loadScene(Application& host, const std::filesystem::path& file);

} // namespace caelo::host

#endif
