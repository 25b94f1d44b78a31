/*
 * The host interface table: the versioned C ABI through which the module
 * reaches its host application, and the C records that cross it.
 *
 * The host hands a `HostInterface` to the module with the first initialise
 * request of `c4d_main`. Its first field is the 32-bit interface version; the
 * module refuses tables older than `HOST_INTERFACE_MIN_VERSION`. Every other
 * field is a function pointer over opaque handles. Handles stay owned by the
 * host; the module never frees what it did not allocate through the table.
 *
 * Units and frames: vectors are three 64-bit floats in scene units; a matrix
 * is an offset and three axis vectors; rotations are heading, pitch and bank
 * in radians in rotation order 6 (heading about Y, then pitch about X, then
 * bank about Z) of the host's left-handed, Y-up frame. Day numbers count days
 * with 2000-01-01 00:00 = 2451545.0 (a Julian Date plus 0.5).
 *
 * Strings are UTF-8 and NUL-terminated. A `const char*` returned by the host
 * stays valid until the value it came from is changed or removed.
 */
#ifndef CAELO_INTERFACE_HOST_INTERFACE_H
#define CAELO_INTERFACE_HOST_INTERFACE_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The interface version this header describes, and the oldest the module
 * accepts. */
#define HOST_INTERFACE_VERSION 20042
#define HOST_INTERFACE_MIN_VERSION 20042

/* Opaque handles. Objects and tags are both nodes. */
typedef struct HostNode HostNode;
typedef struct HostDocument HostDocument;
typedef struct HostContainer HostContainer;
typedef struct HostView HostView;
typedef struct HostBitmap HostBitmap;
typedef struct HostEvaluationList HostEvaluationList;
typedef struct HostDateValue HostDateValue;
typedef struct HostCurve HostCurve;

typedef struct HostVector {
    double x, y, z;
} HostVector;

/* An affine matrix: a point p maps to off + p.x * x + p.y * y + p.z * z. */
typedef struct HostMatrix {
    HostVector off, x, y, z;
} HostMatrix;

/* Calendar fields of a date and time (proleptic Gregorian calendar). */
typedef struct HostDateTime {
    int32_t year, month, day, hour, minute, second;
} HostDateTime;

/* One knot of a curve value (data type 1009060). Tangents are relative to the
 * knot's position. */
typedef struct HostCurveKnot {
    HostVector position;
    HostVector leftTangent;
    HostVector rightTangent;
    int32_t flags;
    int32_t interpolation;
} HostCurveKnot;

/* Display colour properties of an object. */
typedef struct HostColorProperties {
    int32_t mode;
    HostVector color; /* red, green, blue in [0, 1] */
    bool seeThrough;
} HostColorProperties;

/* Data of message 17 (a parameter was set) and 18 (a button was pressed). */
typedef struct HostParameterMessage {
    uint32_t flags; /* bit HOST_PARAMETER_SET_BY_USER: a user edit */
    int32_t parameterId;
} HostParameterMessage;

/* Data of message 1001078: the document notification. */
typedef struct HostDocumentMessage {
    int32_t kind; /* HOST_DOCUMENT_LOADED after a scene file was read */
} HostDocumentMessage;

/* Data of message 1018756: the node's place in the tree changed. */
typedef struct HostHierarchyMessage {
    uint32_t flags; /* bit HOST_HIERARCHY_MOVED: moved to a new parent */
} HostHierarchyMessage;

/* Message types, flag bits and codes the host and the module share. */
enum {
    HOST_MSG_REFRESH_LINKS = 7,
    HOST_MSG_UPDATE = 5,
    HOST_MSG_PARAMETER_SET = 17,
    HOST_MSG_BUTTON = 18,
    HOST_MSG_DOCUMENT = 1001078,
    HOST_MSG_HIERARCHY = 1018756,

    HOST_PARAMETER_SET_BY_USER = 0x10,
    HOST_DOCUMENT_LOADED = 1001,
    HOST_HIERARCHY_MOVED = 0x20,

    HOST_BROADCAST_ALL = 4, /* routing: every object and tag of the document */

    HOST_SWITCH_EDITOR = 0, /* selectors of SetObjectSwitch */
    HOST_SWITCH_RENDER = 1,
    HOST_SWITCH_ENABLED = 2,
    HOST_DISPLAY_HIDDEN = 1, /* display codes of selectors 0 and 1 */
    HOST_DISPLAY_FOLLOW_PARENT = 2
};

/* Data types of parameters. */
enum { HOST_TYPE_DATE_TIME = 1009398, HOST_TYPE_CURVE = 1009060 };

/* The callbacks a registered node type offers. The host copies this record at
 * registration. `allocate` is the type's factory: it makes the class instance
 * for a new node (NULL when memory runs out); `destroy` runs the destructor
 * and releases the instance. Evaluation callbacks answer 0 on success. */
typedef struct HostNodeClass {
    void* (*allocate)(HostNode* owner);
    void (*destroy)(void* instance);
    bool (*initNode)(void* instance, HostNode* node);
    bool (*copyNode)(void* instance, HostNode* node, HostNode* destination, void* destinationInstance);
    bool (*handleMessage)(void* instance, HostNode* node, int32_t type, void* data);
    bool (*isParameterEnabled)(void* instance, HostNode* node, int32_t parameterId);
    bool (*addToEvaluation)(void* instance, HostNode* node, HostEvaluationList* list);
    int32_t (*evaluateObject)(void* instance, HostNode* node);
    int32_t (*evaluateTag)(void* instance, HostNode* tag, HostDocument* document, HostNode* object);
} HostNodeClass;

typedef bool (*HostHelpHook)(const char* typeName);

typedef struct HostInterface {
    int32_t version; /* HOST_INTERFACE_VERSION; must stay the first field */

    /* Registration and resources. */
    bool (*RegisterObjectType)(int32_t id, const char* name, int32_t flags, const HostNodeClass* nodeClass,
                               const char* description, HostBitmap* icon, int32_t level);
    bool (*RegisterTagType)(int32_t id, const char* name, int32_t flags, const HostNodeClass* nodeClass,
                            const char* description, HostBitmap* icon, int32_t level);
    bool (*RegisterHelpHook)(int32_t id, HostHelpHook hook);
    bool (*LoadModuleResources)(const char* folder);
    const char* (*LoadResourceString)(int32_t id); /* "" while no string table is loaded */
    HostBitmap* (*LoadIcon)(const char* path, double scale);
    void (*ReleaseIcon)(HostBitmap* icon);
    void* (*AllocateInstance)(size_t bytes);
    void (*FreeInstance)(void* memory);
    void (*ShowNotice)(const char* text);
    void (*OutputText)(const char* line); /* one line to the host's text output */

    /* Messages. */
    bool (*BroadcastMessage)(HostDocument* document, int32_t routing, int32_t type, void* data);
    bool (*SendNodeMessage)(HostNode* node, int32_t type, void* data);
    int32_t (*GetMessageParameterId)(const void* data, int32_t level);
    bool (*DefaultCopyNode)(HostNode* source, HostNode* destination);

    /* Scene tree. */
    HostNode* (*GetParent)(HostNode* node);
    HostNode* (*GetFirstChild)(HostNode* node);
    HostNode* (*GetLastChild)(HostNode* node);
    HostNode* (*GetNextSibling)(HostNode* node);
    HostNode* (*GetPrevSibling)(HostNode* node);
    int32_t (*GetNodeType)(HostNode* node);
    void* (*GetNodeData)(HostNode* node);
    HostDocument* (*GetDocument)(HostNode* node);
    HostDocument* (*GetActiveDocument)(void);
    HostNode* (*GetTagObject)(HostNode* tag);
    HostNode* (*CreateObject)(int32_t type);
    HostNode* (*CreateTag)(HostNode* object, int32_t type);
    HostNode* (*FindTag)(HostNode* object, int32_t type, int32_t index);
    void (*AppendChild)(HostNode* node, HostNode* parent);
    void (*SetNodeName)(HostNode* node, const char* name);

    /* Parameters. Getters answer the default when the value is absent or of
     * another type. */
    HostContainer* (*GetParameterContainer)(HostNode* node);
    double (*GetFloat)(const HostContainer* container, int32_t id, double fallback);
    void (*SetFloat)(HostContainer* container, int32_t id, double value);
    int32_t (*GetInt32)(const HostContainer* container, int32_t id, int32_t fallback);
    void (*SetInt32)(HostContainer* container, int32_t id, int32_t value);
    bool (*GetBool)(const HostContainer* container, int32_t id, bool fallback);
    void (*SetBool)(HostContainer* container, int32_t id, bool value);
    const char* (*GetString)(const HostContainer* container, int32_t id); /* "" when absent */
    void (*SetString)(HostContainer* container, int32_t id, const char* text);
    HostVector (*GetVector)(const HostContainer* container, int32_t id, HostVector fallback);
    void (*SetVector)(HostContainer* container, int32_t id, HostVector value);
    HostNode* (*GetLink)(const HostContainer* container, int32_t id, HostDocument* document);
    void (*SetLink)(HostContainer* container, int32_t id, HostNode* target);
    bool (*GetDateTime)(const HostContainer* container, int32_t id, HostDateTime* fields);
    HostDateValue* (*CreateDateValue)(void);
    void (*SetDateValueFields)(HostDateValue* value, const HostDateTime* fields, int32_t flag1,
                               int32_t flag2);
    bool (*SetDateTime)(HostContainer* container, int32_t id, const HostDateValue* value, int32_t flag1,
                        int32_t flag2);
    void (*FreeDateValue)(HostDateValue* value);
    HostCurve* (*CreateCurve)(void);
    bool (*ResizeCurve)(HostCurve* curve, int32_t knotCount);
    HostCurveKnot* (*GetCurveKnot)(HostCurve* curve, int32_t index);
    bool (*SetCurve)(HostContainer* container, int32_t id, const HostCurve* curve);
    void (*FreeCurve)(HostCurve* curve);

    /* Time and dates. */
    void (*GetDocumentTime)(HostDocument* document, int64_t* numerator, int64_t* denominator);
    HostDateTime (*CurrentDateTime)(void); /* universal time */
    HostDateTime (*UniversalToLocal)(HostDateTime universal);
    double (*DateTimeToDayNumber)(HostDateTime fields);
    HostDateTime (*DayNumberToDateTime)(double dayNumber);

    /* Objects and transforms. */
    HostVector (*GetRelativePosition)(HostNode* object);
    void (*SetRelativePosition)(HostNode* object, HostVector position);
    HostVector (*GetRelativeRotation)(HostNode* object);
    void (*SetRelativeRotation)(HostNode* object, HostVector rotation);
    HostVector (*GetBaseRotation)(HostNode* object);
    void (*SetBaseRotation)(HostNode* object, HostVector rotation);
    HostMatrix (*GetBaseMatrix)(HostNode* object);
    HostMatrix (*GetWorldMatrix)(HostNode* object);
    void (*SetWorldMatrix)(HostNode* object, HostMatrix matrix);
    HostMatrix (*GetParentWorldMatrix)(HostNode* object);
    void (*SetObjectPosition)(HostNode* object, HostVector position);
    HostVector (*GetObjectSize)(HostNode* object); /* half extents */
    HostVector (*MatrixToAngles)(HostMatrix matrix, int32_t rotationOrder);
    HostMatrix (*AnglesToMatrix)(HostVector rotation, int32_t rotationOrder);
    HostVector (*VectorToAngles)(HostVector direction);
    void (*SetColorProperties)(HostNode* object, const HostColorProperties* properties);
    void (*SetObjectSwitch)(HostNode* object, int32_t selector, int32_t value);

    /* Evaluation and views. */
    bool (*EnrolEvaluation)(HostEvaluationList* list, HostNode* node, int32_t priority, int32_t flags);
    HostView* (*GetActiveView)(HostDocument* document);
    HostNode* (*GetViewCamera)(HostView* view);

    /* Text and memory. `NumberToText` writes at most `capacity` bytes with the
     * NUL and answers the length of the text. */
    double (*TextToNumber)(const char* text, bool* error, int32_t unit, int32_t angleType, int32_t base);
    size_t (*NumberToText)(double value, int32_t digitsBefore, int32_t digitsAfter, bool exponentForm,
                           char fill, char* buffer, size_t capacity);
    /* Appends text to a NUL-terminated buffer; false when it won't fit. */
    bool (*TextInsert)(char* buffer, size_t capacity, const char* text);
    /* Grows or shrinks a block of host memory (NULL block: a new one). NULL on
     * failure, and the old block is then kept; 0 bytes releases the block. */
    void* (*ResizeArray)(void* block, size_t bytes);
} HostInterface;

/* The record a module exports as `g_privateBinary`; the host checks it when
 * it loads the module. */
#define HOST_MODULE_SIGNATURE "CAELOMOD"
typedef struct HostModuleRecord {
    char signature[8];        /* HOST_MODULE_SIGNATURE without its NUL */
    int32_t interfaceVersion; /* the HOST_INTERFACE_VERSION the module was built for */
    const char* moduleName;
} HostModuleRecord;

/* The module entry: `int32_t c4d_main(int32_t request, void* first, void*
 * second, void* third)`. Requests: 1 initialise (first: the HostInterface,
 * third: the module's folder as a string), 2 start, 3 end, 4 query,
 * 6 message (first: the message id as an integer, second: its data). */
typedef int32_t (*HostModuleEntry)(int32_t request, void* first, void* second, void* third);
enum {
    HOST_REQUEST_INITIALISE = 1,
    HOST_REQUEST_START = 2,
    HOST_REQUEST_END = 3,
    HOST_REQUEST_QUERY = 4,
    HOST_REQUEST_MESSAGE = 6
};

#ifdef __cplusplus
}
#endif

#endif
