// Fuzzes number text: the host's conversions both ways, the C interface's
// conversions with buffers of every size, and every number-text parameter of
// the module's nodes as a user's edit followed by an evaluation. The text a
// node keeps after the edit must be a finite number, and the evaluated scene
// must stay sound.
#include "fuzz/fuzzHost.h"
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

// The longest text numberToText writes: 309 whole digits, 64 of padding, a
// sign, the point and 40 digits after it.
constexpr std::size_t kLongestNumberText = 420;

// Reads a double and the format settings from the front of the input.
struct FormatRequest {
    double value = 0.0;
    int digitsBefore = 0;
    int digitsAfter = 0;
    bool exponentForm = false;
    char fill = ' ';
    std::size_t capacity = 0;
};

FormatRequest formatRequest(const std::uint8_t* data, std::size_t size) {
    FormatRequest request;
    std::uint8_t bytes[13] = {};
    std::memcpy(bytes, data, std::min(size, sizeof bytes));
    std::memcpy(&request.value, bytes, sizeof request.value);
    request.digitsBefore = static_cast<std::int8_t>(bytes[8]);
    request.digitsAfter = static_cast<std::int8_t>(bytes[9]);
    request.exponentForm = (bytes[10] & 1) != 0;
    request.fill = static_cast<char>(bytes[11]);
    request.capacity = bytes[12] % 64;
    return request;
}

void checkHostConversions(std::string_view text, const FormatRequest& request) {
    if (const std::optional<double> value = textToNumber(text)) {
        if (!std::isfinite(*value)) {
            fuzz::reportBroken("textToNumber", "answered a non-finite number");
        }
        if (textToNumber(formatDouble(*value)) != value) {
            fuzz::reportBroken("formatDouble",
                               "the shortest text does not read back to " + formatDouble(*value));
        }
    }
    const std::string written = numberToText(request.value, request.digitsBefore, request.digitsAfter,
                                             request.exponentForm, request.fill);
    if (written.size() > kLongestNumberText) {
        fuzz::reportBroken("numberToText", "wrote " + std::to_string(written.size()) + " characters");
    }
    if (std::isfinite(request.value) && request.fill == ' ' && !textToNumber(written)) {
        fuzz::reportBroken("numberToText", "wrote text that does not read back: " + written);
    }
}

// The C interface writes into a buffer of exactly `capacity` bytes, so that
// the address sanitizer sees any write past it.
void checkInterfaceConversions(std::string_view text, const FormatRequest& request) {
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
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const FormatRequest request = formatRequest(data, size);
    checkHostConversions(text, request);
    checkInterfaceConversions(text, request);

    Document& document = application().newDocument();
    const std::vector<Node*> nodes = buildScene(document);
    editEveryNumberText(nodes, std::string(text));
    fuzz::requireIdempotentEvaluation(document, "evaluation after number-text edits");
    fuzz::requireSound(document, "scene after number-text edits");
    return 0;
}
