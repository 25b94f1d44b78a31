/*
 * The system object: the root of a modelled planetary system. It holds the
 * speed of model time against document time, the epoch that document time 0
 * stands for, and the scales of body sizes and orbit distances, and it writes
 * the current model date into a read-only date parameter at every evaluation.
 */
#ifndef CAELO_SOURCE_OBJ_CAELO_SYSTEM_H
#define CAELO_SOURCE_OBJ_CAELO_SYSTEM_H

#include "model/moduleIds.h"
#include "model/systemScales.h"
#include "model/units.h"
#include "source/nodeData.h"

#include <cstdint>

namespace caelo {

/* The system's settings held in Float parameters 1000 to 1002. */
struct SystemSettings {
    double timeScale = 0.1;        /* document seconds per model day */
    double bodySize = 100.0;       /* scene units per Earth diameter */
    double distanceFactor = 0.002; /* distances against body scale */
};

class ObjCaeloSystem : public ObjectData {
public:
    /* Broadcasts HOST_MSG_REFRESH_LINKS to the active document so that
     * no node keeps a link to this system. */
    ~ObjCaeloSystem() override;

    /* The model time as a Julian Date at the system node's current document
     * time: epochBase + (document seconds / timeScale) days. A node outside
     * any document, or a document time with denominator 0, counts as
     * document time 0. Non-finite when the time scale is 0. */
    [[nodiscard]] double GetModelJulianDate() const;
    /* Scene units per centimetre of real size (x 100000 for kilometres). */
    [[nodiscard]] double GetBodyScale() const { return bodyScale; }
    /* Scene units per au. */
    [[nodiscard]] double GetDistanceScale() const { return distanceScale; }

    bool InitNode(HostNode* node) override;
    bool CopyNode(HostNode* node, HostNode* destination, BaseData* destinationData) override;
    bool HandleMessage(HostNode* node, int32_t type, void* data) override;
    bool IsParameterEnabled(HostNode* node, int32_t parameterId) override;
    bool AddToEvaluation(HostNode* node, HostEvaluationList* list) override;
    int32_t EvaluateObject(HostNode* node) override;

private:
    bool HandleButton(HostNode* node, int32_t buttonId);
    /* Reads one of the parameters 1000 to 1003 and updates the members that
     * derive from it; other ids are ignored. */
    void RecomputeParameter(const Container& container, int32_t parameterId);
    /* Rebuilds every member but zoneOffset from the parameters. */
    void RecomputeAll(const Container& container);
    /* The epoch from the date-time parameter 1003; a missing value keeps
     * the epoch in force. */
    void ReadEpoch(const Container& container);
    /* The scales that derive from the settings. */
    void DeriveScales();

    SystemSettings settings;
    double epochBase = 0.0;                                   /* model Julian Date (UT) at document time 0 */
    double timeFactor = SystemTimeFactor(settings.timeScale); /* document seconds per model second */
    double bodyScale = SystemBodyScale(settings.bodySize);    /* scene units per centimetre */
    double distanceScale = SystemDistanceScale(bodyScale, settings.distanceFactor); /* scene units per au */
    double zoneOffset = 0.0;    /* local time minus universal time, days */
    double lastModelTime = 0.0; /* model Julian Date last written to parameter 1004 */

    /* The model date last computed, with what it was computed from: every
     * orbit axis, body axis and ring of the system asks for it in each pass,
     * at one document time. Same inputs, same bits; the memo changes
     * nothing anyone can observe. */
    struct ModelDateMemo {
        int64_t numerator = 0;
        int64_t denominator = 0; /* 0 until made: no document time has it */
        double timeFactor = 0.0;
        double epochBase = 0.0;
        double julianDate = 0.0;
    };
    mutable ModelDateMemo modelDate;
};

/* The system that governs a node: the nearest ancestor of type kTypeCaeloSystem,
 * starting at the node's parent (the node itself is not tested); null when
 * there is none. */
[[nodiscard]] ObjCaeloSystem* FindSystem(HostNode* node);

} // namespace caelo

#endif
