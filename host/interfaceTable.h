// The host interface table handed to modules (hostInterface.h), implemented
// over the host's scene model, and the conversions between the table's opaque
// handles and the host's objects.
//
// Choices the table makes where the C interface leaves them open:
// - Functions given a NULL handle do nothing and answer none, 0 or false.
// - Object operations given a tag do nothing and answer zero vectors or the
//   identity matrix.
// - GetLink resolves only nodes that belong to the given document; with a NULL
//   document a link reads as none.
// - LoadIcon takes an absolute path, or a path relative to the folder of the
//   last successful LoadModuleResources.
// - NumberToText answers the full length of the text, also when the buffer
//   was too small and the text was cut (the buffer always ends with a NUL when
//   its capacity is above 0).
// - TextToNumber supports base 10 only; unit and angle type are ignored.
// - AnglesToMatrix and MatrixToAngles support rotation order 6 only.
// - SetObjectPosition sets the relative position so that the object's
//   position in its parent's frame (frozen x relative) becomes the given one.
// - SetObjectSwitch ignores display codes other than 1 and 2.
// - AppendChild of a node into its own subtree, of a tag, or below a tag does
//   nothing; AppendChild of a node that sits in a tree moves it.
#ifndef CAELO_HOST_INTERFACE_TABLE_H
#define CAELO_HOST_INTERFACE_TABLE_H

#include "container.h"
#include "evaluation.h"
#include "interface/hostInterface.h"
#include "resources.h"
#include "scene.h"

namespace caelo::host {

// The table of this host (version HOST_INTERFACE_VERSION).
[[nodiscard]] const HostInterface& hostInterfaceTable();

// A date-time value made by CreateDateValue.
struct DateValue {
    HostDateTime fields{};
};

// Handle conversions: the handles are the host's objects themselves.
[[nodiscard]] inline HostNode* toHandle(Node* node) {
    return reinterpret_cast<HostNode*>(node);
}
[[nodiscard]] inline Node* fromHandle(HostNode* node) {
    return reinterpret_cast<Node*>(node);
}
[[nodiscard]] inline HostDocument* toHandle(Document* document) {
    return reinterpret_cast<HostDocument*>(document);
}
[[nodiscard]] inline Document* fromHandle(HostDocument* document) {
    return reinterpret_cast<Document*>(document);
}
[[nodiscard]] inline HostContainer* toHandle(Container* container) {
    return reinterpret_cast<HostContainer*>(container);
}
[[nodiscard]] inline Container* fromHandle(HostContainer* container) {
    return reinterpret_cast<Container*>(container);
}
[[nodiscard]] inline const Container* fromHandle(const HostContainer* container) {
    return reinterpret_cast<const Container*>(container);
}
[[nodiscard]] inline HostView* toHandle(View* view) {
    return reinterpret_cast<HostView*>(view);
}
[[nodiscard]] inline View* fromHandle(HostView* view) {
    return reinterpret_cast<View*>(view);
}
[[nodiscard]] inline HostBitmap* toHandle(Bitmap* bitmap) {
    return reinterpret_cast<HostBitmap*>(bitmap);
}
[[nodiscard]] inline Bitmap* fromHandle(HostBitmap* bitmap) {
    return reinterpret_cast<Bitmap*>(bitmap);
}
[[nodiscard]] inline HostEvaluationList* toHandle(EvaluationList* list) {
    return reinterpret_cast<HostEvaluationList*>(list);
}
[[nodiscard]] inline EvaluationList* fromHandle(HostEvaluationList* list) {
    return reinterpret_cast<EvaluationList*>(list);
}
[[nodiscard]] inline HostDateValue* toHandle(DateValue* value) {
    return reinterpret_cast<HostDateValue*>(value);
}
[[nodiscard]] inline DateValue* fromHandle(HostDateValue* value) {
    return reinterpret_cast<DateValue*>(value);
}
[[nodiscard]] inline const DateValue* fromHandle(const HostDateValue* value) {
    return reinterpret_cast<const DateValue*>(value);
}
[[nodiscard]] inline HostCurve* toHandle(Curve* curve) {
    return reinterpret_cast<HostCurve*>(curve);
}
[[nodiscard]] inline Curve* fromHandle(HostCurve* curve) {
    return reinterpret_cast<Curve*>(curve);
}
[[nodiscard]] inline const Curve* fromHandle(const HostCurve* curve) {
    return reinterpret_cast<const Curve*>(curve);
}

} // namespace caelo::host

#endif
