// The conversions between the interface table's opaque handles and the host's
// objects: the handles are the host's objects themselves. The host's units
// hand their nodes to a module's class callbacks through these.
#ifndef CAELO_HOST_HANDLES_H
#define CAELO_HOST_HANDLES_H

#include "interface/hostInterface.h"

namespace caelo::host {

class Node;
class Document;
class Container;
struct View;
class Bitmap;
class EvaluationList;
struct DateValue;
struct Curve;

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
