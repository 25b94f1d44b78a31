// Fuzzes the scene-file reader: any text either fails with a HostError or
// gives a document whose written text reads back to the same text; loaded,
// announced to its nodes and evaluated, the document must stay sound (a
// non-finite number is only allowed where the file itself held one) and a
// second evaluation must change nothing.
#include "fuzz/fuzzHost.h"
#include "host/application.h"
#include "host/files/sceneFile.h"
#include "host/messages.h"
#include "host/services/hostError.h"
#include "tests/randomSceneCheck.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace {

using namespace caelo;
using namespace caelo::host;

void requireStableText(const Document& document) {
    const std::string written = sceneToText(document);
    std::string reread;
    try {
        reread = sceneToText(*sceneFromText(application(), written, "written scene"));
    } catch (const HostError& error) {
        fuzz::reportBroken("round trip",
                           std::string("the written scene cannot be read back: ") + error.what());
    }
    if (reread != written) {
        fuzz::reportBroken("round trip", "reading the written scene back changes it: " +
                                             randomScene::firstDifference(written, reread));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::startHost();
    const fuzz::SceneFreedAfterInput freed;
    std::unique_ptr<Document> read;
    try {
        read = sceneFromText(application(), std::string_view(reinterpret_cast<const char*>(data), size),
                             "fuzz input");
    } catch (const HostError&) {
        return 0;
    }
    requireStableText(*read);

    Document& document = application().adoptDocument(std::move(read));
    const auto asRead = randomScene::findViolation(document);
    if (asRead && asRead->category != "non-finite") {
        fuzz::reportBroken("scene as read", asRead->category + ": " + asRead->message);
    }
    notifyDocumentLoaded(document);
    fuzz::requireIdempotentEvaluation(document, "evaluation of the loaded scene");
    const auto evaluated = randomScene::findViolation(document);
    if (evaluated && (evaluated->category != "non-finite" || !asRead)) {
        fuzz::reportBroken("evaluated scene", evaluated->category + ": " + evaluated->message);
    }
    return 0;
}
