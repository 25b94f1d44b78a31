/*
 * Typed C++ wrappers over the host interface table.
 *
 * The module reaches its host only through these functions. Each forwards to
 * the table kept from the first initialise request of the module entry; none
 * allocates or locks, so they are safe in per-frame evaluation. Units and
 * frames are those of hostInterface.h: scene units, radians, rotation order 6,
 * day numbers with 2000-01-01 00:00 = 2451545.0.
 *
 * Calling a wrapper while no table is kept (before the first initialise
 * request or after the last end request) is a programming error.
 */
#ifndef CAELO_SOURCE_HOST_API_H
#define CAELO_SOURCE_HOST_API_H

#include "interface/hostInterface.h"

#include <cstddef>
#include <cstdint>

namespace caelo {

/* ---- The kept table --------------------------------------------------- */

/* The host interface table, or null while the module is not initialised. */
extern const HostInterface* g_hostInterface;

inline const HostInterface& Host() {
    return *g_hostInterface;
}
inline bool HasHost() {
    return g_hostInterface != nullptr;
}

/* ---- Registration and resources --------------------------------------- */

/* Registration level passed with every node type. */
inline constexpr int32_t kRegistrationLevel = 0;

inline bool RegisterObjectType(int32_t id, const char* name, int32_t flags, const HostNodeClass& nodeClass,
                               const char* description, HostBitmap* icon) {
    return Host().RegisterObjectType(id, name, flags, &nodeClass, description, icon, kRegistrationLevel);
}
inline bool RegisterTagType(int32_t id, const char* name, int32_t flags, const HostNodeClass& nodeClass,
                            const char* description, HostBitmap* icon) {
    return Host().RegisterTagType(id, name, flags, &nodeClass, description, icon, kRegistrationLevel);
}
inline bool RegisterHelpHook(int32_t id, HostHelpHook hook) {
    return Host().RegisterHelpHook(id, hook);
}
inline bool LoadModuleResources(const char* folder) {
    return Host().LoadModuleResources(folder);
}
/* The text of a string-table id; "" when the table lacks it or is not loaded. */
inline const char* LoadResourceString(int32_t id) {
    return Host().LoadResourceString(id);
}
/* The icon at a file path, or null when it cannot be loaded. */
inline HostBitmap* LoadIcon(const char* path, double scale) {
    return Host().LoadIcon(path, scale);
}
inline void ReleaseIcon(HostBitmap* icon) {
    Host().ReleaseIcon(icon);
}
inline void* AllocateInstance(size_t bytes) {
    return Host().AllocateInstance(bytes);
}
inline void FreeInstance(void* memory) {
    Host().FreeInstance(memory);
}
inline void OutputText(const char* line) {
    Host().OutputText(line);
}

/* ---- Messages ---------------------------------------------------------- */

inline bool BroadcastMessage(HostDocument* document, int32_t routing, int32_t type, void* data) {
    return Host().BroadcastMessage(document, routing, type, data);
}
inline bool SendNodeMessage(HostNode* node, int32_t type, void* data) {
    return Host().SendNodeMessage(node, type, data);
}
/* Sends HOST_MSG_REFRESH_LINKS to every node of a document, so that each
 * empties the links it cached and finds them again at its next evaluation;
 * nothing for a null document. */
inline void BroadcastRefreshLinks(HostDocument* document) {
    if (document != nullptr) {
        BroadcastMessage(document, HOST_BROADCAST_ALL, HOST_MSG_REFRESH_LINKS, nullptr);
    }
}
/* The first-level parameter id that the data of HOST_MSG_PARAMETER_SET or
 * HOST_MSG_BUTTON refers to. */
inline int32_t GetMessageParameterId(const void* data) {
    return Host().GetMessageParameterId(data, 0);
}
inline bool DefaultCopyNode(HostNode* source, HostNode* destination) {
    return Host().DefaultCopyNode(source, destination);
}

/* HOST_MSG_PARAMETER_SET: true when the data marks a user's edit
 * (HOST_PARAMETER_SET_BY_USER). */
inline bool IsUserParameterEdit(const void* data) {
    return data != nullptr &&
           (static_cast<const HostParameterMessage*>(data)->flags & HOST_PARAMETER_SET_BY_USER) != 0;
}
/* HOST_MSG_DOCUMENT: true when the data starts with the kind "scene loaded". */
inline bool IsDocumentLoaded(const void* data) {
    return data != nullptr && static_cast<const HostDocumentMessage*>(data)->kind == HOST_DOCUMENT_LOADED;
}
/* HOST_MSG_HIERARCHY: true when the data marks a move to a new parent. */
inline bool IsHierarchyMoved(const void* data) {
    return data != nullptr &&
           (static_cast<const HostHierarchyMessage*>(data)->flags & HOST_HIERARCHY_MOVED) != 0;
}

/* ---- Scene tree --------------------------------------------------------- */

inline HostNode* GetParent(HostNode* node) {
    return Host().GetParent(node);
}
inline HostNode* GetFirstChild(HostNode* node) {
    return Host().GetFirstChild(node);
}
inline HostNode* GetLastChild(HostNode* node) {
    return Host().GetLastChild(node);
}
inline HostNode* GetNextSibling(HostNode* node) {
    return Host().GetNextSibling(node);
}
inline HostNode* GetPrevSibling(HostNode* node) {
    return Host().GetPrevSibling(node);
}
inline int32_t GetNodeType(HostNode* node) {
    return Host().GetNodeType(node);
}
/* The module's class instance behind a node: what the type's factory made. */
inline void* GetNodeData(HostNode* node) {
    return Host().GetNodeData(node);
}
inline HostDocument* GetDocument(HostNode* node) {
    return Host().GetDocument(node);
}
inline HostDocument* GetActiveDocument() {
    return Host().GetActiveDocument();
}
inline HostNode* GetTagObject(HostNode* tag) {
    return Host().GetTagObject(tag);
}
/* A new object outside any document, or null. */
inline HostNode* CreateObject(int32_t type) {
    return Host().CreateObject(type);
}
inline HostNode* CreateTag(HostNode* object, int32_t type) {
    return Host().CreateTag(object, type);
}
inline HostNode* FindTag(HostNode* object, int32_t type, int32_t index) {
    return Host().FindTag(object, type, index);
}
/* Makes the node the parent's last child. */
inline void AppendChild(HostNode* node, HostNode* parent) {
    Host().AppendChild(node, parent);
}
inline void SetNodeName(HostNode* node, const char* name) {
    Host().SetNodeName(node, name);
}

/* ---- Parameters ----------------------------------------------------------- */

/* A node's parameter container. Getters answer the fallback when the value is
 * absent or of another type. */
class Container {
public:
    explicit Container(HostContainer* container) : container_(container) {}

    double GetFloat(int32_t id, double fallback = 0.0) const {
        return Host().GetFloat(container_, id, fallback);
    }
    void SetFloat(int32_t id, double value) const { Host().SetFloat(container_, id, value); }
    int32_t GetInt32(int32_t id, int32_t fallback = 0) const {
        return Host().GetInt32(container_, id, fallback);
    }
    void SetInt32(int32_t id, int32_t value) const { Host().SetInt32(container_, id, value); }
    bool GetBool(int32_t id, bool fallback = false) const { return Host().GetBool(container_, id, fallback); }
    void SetBool(int32_t id, bool value) const { Host().SetBool(container_, id, value); }
    /* "" when absent. */
    const char* GetString(int32_t id) const { return Host().GetString(container_, id); }
    void SetString(int32_t id, const char* text) const { Host().SetString(container_, id, text); }
    HostVector GetVector(int32_t id, HostVector fallback = {0.0, 0.0, 0.0}) const {
        return Host().GetVector(container_, id, fallback);
    }
    void SetVector(int32_t id, HostVector value) const { Host().SetVector(container_, id, value); }
    /* The linked node resolved in the document, or null. */
    HostNode* GetLink(int32_t id, HostDocument* document) const {
        return Host().GetLink(container_, id, document);
    }
    void SetLink(int32_t id, HostNode* target) const { Host().SetLink(container_, id, target); }
    /* False when the id holds no date-time value; the fields are then untouched. */
    bool GetDateTime(int32_t id, HostDateTime& fields) const {
        return Host().GetDateTime(container_, id, &fields);
    }

    HostContainer* Handle() const { return container_; }

private:
    HostContainer* container_;
};

inline Container GetParameterContainer(HostNode* node) {
    return Container(Host().GetParameterContainer(node));
}

/* Flags passed with every date-time value and store. */
inline constexpr int32_t kDateValueFlag = 1;

/* A date-time value (data type 1009398) owned for the length of a scope. */
class DateValue {
public:
    DateValue() : value_(Host().CreateDateValue()) {}
    ~DateValue() {
        if (value_ != nullptr) {
            Host().FreeDateValue(value_);
        }
    }
    DateValue(const DateValue&) = delete;
    DateValue& operator=(const DateValue&) = delete;

    /* False when the host could not make the value. */
    bool IsValid() const { return value_ != nullptr; }
    void SetFields(const HostDateTime& fields) {
        Host().SetDateValueFields(value_, &fields, kDateValueFlag, kDateValueFlag);
    }
    bool StoreIn(const Container& container, int32_t id) const {
        return Host().SetDateTime(container.Handle(), id, value_, kDateValueFlag, kDateValueFlag);
    }

private:
    HostDateValue* value_;
};

/* A curve value (data type 1009060) owned for the length of a scope. */
class Curve {
public:
    Curve() : curve_(Host().CreateCurve()) {}
    ~Curve() {
        if (curve_ != nullptr) {
            Host().FreeCurve(curve_);
        }
    }
    Curve(const Curve&) = delete;
    Curve& operator=(const Curve&) = delete;

    /* False when the host could not make the value. */
    bool IsValid() const { return curve_ != nullptr; }
    bool Resize(int32_t knotCount) { return Host().ResizeCurve(curve_, knotCount); }
    /* The knot at an index, written in place; null outside the curve. */
    HostCurveKnot* Knot(int32_t index) { return Host().GetCurveKnot(curve_, index); }
    bool StoreIn(const Container& container, int32_t id) const {
        return Host().SetCurve(container.Handle(), id, curve_);
    }

private:
    HostCurve* curve_;
};

/* ---- Documents, time and dates ---------------------------------------------- */

/* A document time in seconds as numerator / denominator. */
struct DocumentTime {
    int64_t numerator = 0;
    int64_t denominator = 1;
};

inline DocumentTime GetDocumentTime(HostDocument* document) {
    DocumentTime time;
    Host().GetDocumentTime(document, &time.numerator, &time.denominator);
    return time;
}
/* The current date and time in universal time. */
inline HostDateTime CurrentDateTime() {
    return Host().CurrentDateTime();
}
inline HostDateTime UniversalToLocal(HostDateTime universal) {
    return Host().UniversalToLocal(universal);
}
/* Day number (2000-01-01 00:00 = 2451545.0) of calendar fields. */
inline double DateTimeToDayNumber(HostDateTime fields) {
    return Host().DateTimeToDayNumber(fields);
}
inline HostDateTime DayNumberToDateTime(double dayNumber) {
    return Host().DayNumberToDateTime(dayNumber);
}

/* ---- Objects and transforms --------------------------------------------------- */

/* Rotation order of every angle triple the module exchanges with the host. */
inline constexpr int32_t kRotationOrder = 6;

inline HostVector GetRelativePosition(HostNode* object) {
    return Host().GetRelativePosition(object);
}
inline void SetRelativePosition(HostNode* object, HostVector position) {
    Host().SetRelativePosition(object, position);
}
/* Heading, pitch, bank in radians. */
inline HostVector GetRelativeRotation(HostNode* object) {
    return Host().GetRelativeRotation(object);
}
inline void SetRelativeRotation(HostNode* object, HostVector rotation) {
    Host().SetRelativeRotation(object, rotation);
}
/* The frozen rotation on which the relative rotation acts. */
inline HostVector GetBaseRotation(HostNode* object) {
    return Host().GetBaseRotation(object);
}
inline void SetBaseRotation(HostNode* object, HostVector rotation) {
    Host().SetBaseRotation(object, rotation);
}
/* The frozen transformation. */
inline HostMatrix GetBaseMatrix(HostNode* object) {
    return Host().GetBaseMatrix(object);
}
inline HostMatrix GetWorldMatrix(HostNode* object) {
    return Host().GetWorldMatrix(object);
}
inline void SetWorldMatrix(HostNode* object, HostMatrix matrix) {
    Host().SetWorldMatrix(object, matrix);
}
inline HostMatrix GetParentWorldMatrix(HostNode* object) {
    return Host().GetParentWorldMatrix(object);
}
inline void SetObjectPosition(HostNode* object, HostVector position) {
    Host().SetObjectPosition(object, position);
}
/* Half extents of the object, in scene units. */
inline HostVector GetObjectSize(HostNode* object) {
    return Host().GetObjectSize(object);
}
inline HostVector MatrixToAngles(HostMatrix matrix) {
    return Host().MatrixToAngles(matrix, kRotationOrder);
}
inline HostMatrix AnglesToMatrix(HostVector rotation) {
    return Host().AnglesToMatrix(rotation, kRotationOrder);
}
inline HostVector VectorToAngles(HostVector direction) {
    return Host().VectorToAngles(direction);
}
inline void SetColorProperties(HostNode* object, const HostColorProperties& properties) {
    Host().SetColorProperties(object, &properties);
}
inline void SetObjectSwitch(HostNode* object, int32_t selector, int32_t value) {
    Host().SetObjectSwitch(object, selector, value);
}

/* ---- Evaluation and views ------------------------------------------------------- */

inline bool EnrolEvaluation(HostEvaluationList* list, HostNode* node, int32_t priority, int32_t flags) {
    return Host().EnrolEvaluation(list, node, priority, flags);
}
inline HostView* GetActiveView(HostDocument* document) {
    return Host().GetActiveView(document);
}
inline HostNode* GetViewCamera(HostView* view) {
    return Host().GetViewCamera(view);
}

/* ---- Text, numbers and memory ----------------------------------------------------- */

/* Parses a decimal number with the host's conversion; false when the text is
 * not a number (the value is then untouched). */
inline bool TextToNumber(const char* text, double& value) {
    bool error = false;
    const double parsed = Host().TextToNumber(text, &error, 0, 0, 10);
    if (error) {
        return false;
    }
    value = parsed;
    return true;
}

/* Room for the longest number text: sign, 1 + 15 digits, point, exponent. */
inline constexpr size_t kNumberTextCapacity = 48;

/* The text of a number-text parameter, held on the stack. */
struct NumberText {
    char text[kNumberTextCapacity];
};

/* The number-text form of a value: 1 digit before the point, 15 after,
 * exponent form, space as fill character. */
inline NumberText FormatNumberText(double value) {
    NumberText result;
    result.text[0] = '\0';
    Host().NumberToText(value, 1, 15, true, ' ', result.text, sizeof result.text);
    return result;
}

/* Writes a value into a number-text parameter in its normalised form. */
inline void SetNumberText(const Container& container, int32_t id, double value) {
    container.SetString(id, FormatNumberText(value).text);
}

/* Reads the text of a number-text parameter; false, with the value
 * untouched, when the text is no number or when the number's normalised form
 * would not read back (a magnitude within rounding of the largest double:
 * "1.7976931348623157e308" normalises to "1.797693134862316e+308", which lies
 * beyond it), so that the text kept always holds the value in force.
 * Example: double v = 0; ReadNumberText(" 2.5e3 ", v) sets v to 2500. */
inline bool ReadNumberText(const char* text, double& value) {
    double parsed = 0.0;
    double normalised = 0.0;
    if (!TextToNumber(text, parsed) || !TextToNumber(FormatNumberText(parsed).text, normalised)) {
        return false;
    }
    value = parsed;
    return true;
}

/* Reads a number-text parameter into `value` and writes the value back as
 * its normalised text: a text that is no number leaves `value` as it was,
 * and the value's text replaces it. */
inline void NormaliseNumberText(const Container& container, int32_t id, double& value) {
    double read = value;
    if (ReadNumberText(container.GetString(id), read)) {
        value = read;
    }
    SetNumberText(container, id, value);
}

/* Appends text to a NUL-terminated buffer; false when it does not fit. */
inline bool TextInsert(char* buffer, size_t capacity, const char* text) {
    return Host().TextInsert(buffer, capacity, text);
}
/* Grows or shrinks a block of host memory; null on failure (the old block is
 * kept). */
inline void* ResizeArray(void* block, size_t bytes) {
    return Host().ResizeArray(block, bytes);
}

} // namespace caelo

#endif
