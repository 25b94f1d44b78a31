// Fuzzes number text in a scene: the parser's checks (parserChecks.h), the C
// interface's conversions with buffers of every size, then every number-text
// parameter of the module's nodes as a user's edit followed by an evaluation.
// The text a node keeps after the edit must be a finite number, and the
// evaluated scene must stay sound.
#include "fuzz/fuzzHost.h"
#include "fuzz/parserChecks.h"
#include "host/application.h"
#include "host/description.h"
#include "host/interfaceTable.h"
#include "host/messages.h"
#include "host/sceneEditing.h"
#include "host/services/hostError.h"
#include "host/services/numberText.h"
#include "model/moduleIds.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace caelo;
using namespace caelo::host;

// The C interface writes into a buffer of exactly `capacity` bytes, so that
// the address sanitizer sees any write past it.
void checkInterfaceConversions(std::string_view text, const fuzz::FormatRequest& request) {
    const HostInterface& table = hostInterfaceTable();
    std::vector<char> buffer(request.capacity);
    const std::size_t length =
        table.NumberToText(request.value, request.digitsBefore, request.digitsAfter, request.exponentForm,
                           request.fill, buffer.empty() ? nullptr : buffer.data(), buffer.size());
    // A fill of NUL characters, asked for, ends the C text early.
    if (!buffer.empty() && request.fill != '\0' &&
        std::strlen(buffer.data()) != std::min(length, buffer.size() - 1)) {
        fuzz::reportBroken("NumberToText", "the buffer does not hold the text cut to its capacity");
    }
    const std::string terminated(text);
    bool error = false;
    const double value = table.TextToNumber(terminated.c_str(), &error, 0, 0, 10);
    if (!error && !std::isfinite(value)) {
        fuzz::reportBroken("TextToNumber", "answered a non-finite number without an error");
    }
}

// A small system: an orbit axis in elements mode carrying a body axis with
// its globe, and a tube ring with its tag below the body.
std::vector<Node*> buildScene(Document& document) {
    Node& system = createObject(application(), kTypeCaeloSystem);
    appendChild(document, system, nullptr);
    Node& orbit = createObject(application(), kTypeCaeloOrbitAxis);
    appendChild(document, orbit, &system);
    editParameter(orbit, OCAELOORBITAXIS_MODE, kModeChoiceBase + kOrbitModeElements);
    Node& body = createObject(application(), kTypeCaeloBodyAxis);
    appendChild(document, body, &orbit);
    Node& globe = createObject(application(), kTypeSphere);
    appendChild(document, globe, &body);
    editParameter(body, OCAELOBODYAXIS_GLOBE_LINK, Link{globe.id()});
    Node& tube = createObject(application(), kTypeTube);
    appendChild(document, tube, &body);
    Node& ring = createTag(application(), tube, kTypeCaeloRing);
    return {&orbit, &body, &ring};
}

// Types the text into every number-text parameter of the nodes.
void editEveryNumberText(const std::vector<Node*>& nodes, const std::string& text) {
    for (Node* node : nodes) {
        for (const ParameterDescription& p : node->description()->parameters) {
            if (p.kind != ParameterKind::NumberText) {
                continue;
            }
            try {
                editParameter(*node, p.id, text);
            } catch (const HostError&) {
                continue; // greyed out in this mode
            }
            const std::string& kept = node->parameters.getString(p.id);
            if (!textToNumber(kept)) {
                fuzz::reportBroken("number-text edit", describeNode(*node) + " parameter " +
                                                           std::to_string(p.id) +
                                                           " keeps text that is no finite number: " + kept);
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::startHost();
    const fuzz::SceneFreedAfterInput freed;
    fuzz::checkNumberText({data, size});
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkInterfaceConversions(text, fuzz::formatRequest({data, size}));

    Document& document = application().newDocument();
    const std::vector<Node*> nodes = buildScene(document);
    editEveryNumberText(nodes, std::string(text));
    fuzz::requireIdempotentEvaluation(document, "evaluation after number-text edits");
    fuzz::requireSound(document, "scene after number-text edits");
    return 0;
}
