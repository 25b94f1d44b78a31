/*
 * The orbit-axis object: one orbit inside a planetary system, described by
 * Keplerian elements with linear rates per Julian century. It keeps its
 * settings in an OrbitAxisRecord, mirrored in its parameters. At every
 * evaluation it turns its own node into the orbit frame at the model date and
 * moves its last body-axis child along the orbit, or, in band mode, sizes and
 * places its linked ellipse spline, band object and wrap deformer.
 */
#ifndef CAELO_SOURCE_OBJ_CAELO_ORBIT_AXIS_H
#define CAELO_SOURCE_OBJ_CAELO_ORBIT_AXIS_H

#include "model/moduleIds.h"
#include "model/nodeRecords.h"
#include "model/orbitalMath.h"
#include "model/units.h"
#include "source/nodeData.h"
#include "source/parameterBinding.h"

#include <cstdint>
#include <optional>

namespace caelo {

class ObjCaeloBodyAxis;
class ObjCaeloSystem;

/* The ellipse an orbit axis shows, in scene units. */
struct ScaledEllipse {
    double semiMajorAxis;
    double semiMinorAxis;
    double centreOffset; /* from the focus (the orbit axis) to the centre: a e */
};

/* Gives a circle spline in its ellipse form the ellipse's semi-axes, has the
 * host rebuild it, and moves its centre to (-c, 0, 0) so that the origin of
 * the spline's parent is the ellipse's focus on the positive X side. */
void ShapeSplineToEllipse(HostNode* spline, const ScaledEllipse& ellipse);

class ObjCaeloOrbitAxis : public ObjectData {
public:
    /* Broadcasts HOST_MSG_REFRESH_LINKS to the active document so that
     * no node keeps a link to this orbit axis. */
    ~ObjCaeloOrbitAxis() override;

    bool InitNode(HostNode* node) override;
    bool CopyNode(HostNode* node, HostNode* destination, BaseData* destinationData) override;
    bool HandleMessage(HostNode* node, int32_t type, void* data) override;
    bool IsParameterEnabled(HostNode* node, int32_t parameterId) override;
    bool AddToEvaluation(HostNode* node, HostEvaluationList* list) override;
    int32_t EvaluateObject(HostNode* node) override;

    /* The orbit ellipse at the system's current model date, with a and e
     * taken from J2000.0 rather than from the epoch, in scene units (semi-major
     * axis, semi-minor axis, centre offset). Fills the empty links first.
     * Three zeros without a governing system; nothing when a length is not
     * finite (e.g. e outside [-1, 1] at that date, or a non-finite date). */
    [[nodiscard]] std::optional<ScaledEllipse> GetScaledOrbitEllipse();

    /* Constructions behind the buttons (orbitAxisConstruction.cpp); node is
     * the orbit-axis node. Each answers false at the first object or tag the
     * host cannot make, and keeps what it made until then. */
    /* An orbit plane and an orbit spline, each with its tag. */
    bool CreateOrbitGuides(HostNode* node);
    /* An ellipse spline, a band with a wrap deformer, linked in 1050 and 1051. */
    bool CreateOrbitBand(HostNode* node);
    /* A body axis for the orbit to carry. */
    bool CreateBodyAxisChild(HostNode* node);

    /* Replaces the whole record, mirrors it in the parameters and evaluates
     * the orbit on the own node. */
    void SetOrbitRecord(const OrbitAxisRecord& record);

private:
    /* Fills each empty cached link: the governing system, the enclosing
     * body axis and the last body-axis child. */
    void RefreshOrbitLinks(HostNode* node);
    /* Scene units per unit of a: by the km flag, through the enclosing body
     * axis's globe scale or the chain of satellite scales; 0 when the
     * system that sets the scale is unknown. */
    [[nodiscard]] double SceneUnitsPerUnitOfA() const;

    /* Orients the orbit frame and, by mode, places the body-axis child or
     * updates the band. Transforms and parameters whose values would not be
     * finite keep their values. */
    void EvaluateOrbit(HostNode* node);
    void PlaceBodyChild(const OrbitState& state) const;
    /* Theory mode: the body-axis child where the theory puts it at the
     * model date, in the frame the elements turn; outside the theory's span
     * where the elements put it. */
    void PlaceBodyChildByTheory(const OrbitState& state, double jd) const;
    void UpdateBand(HostNode* node, const OrbitState& state);
    void UpdateWrapDeformer(HostNode* deformer, double bandFraction) const;

    /* The action of a button of the node; any other id does nothing and
     * answers true. */
    bool HandleButton(HostNode* node, int32_t buttonId);

    OrbitAxisRecord record;

    /* Links found by evaluation; per instance, never copied or stored,
     * emptied by HOST_MSG_REFRESH_LINKS. */
    ObjCaeloSystem* cachedSystem = nullptr;
    ObjCaeloBodyAxis* cachedEnclosingBodyAxis = nullptr;
    HostNode* cachedBodyChild = nullptr;
};

} // namespace caelo

#endif
