/*
 * The orbit-axis object: one orbit inside a planetary system, described by
 * Keplerian elements with linear rates per Julian century. It keeps its
 * settings in an OrbitAxisRecord, mirrored in its parameters. At every
 * evaluation it turns its own node into the orbit frame at the model date and
 * moves its last body-axis child along the orbit, or, in band mode, sizes and
 * places its linked ellipse spline, band object and wrap deformer.
 */
#ifndef CAELO_OBJ_CAELO_ORBIT_AXIS_H
#define CAELO_OBJ_CAELO_ORBIT_AXIS_H

#include "model/moduleIds.h"
#include "model/orbitalMath.h"
#include "model/units.h"
#include "nodeData.h"

#include <cstdint>
#include <iterator>
#include <optional>

namespace caelo {

class ObjCaeloBodyAxis;
class ObjCaeloSystem;

/* The record fields behind the number-text parameters 1003 to 1018, in id
 * order. */
inline constexpr double OrbitAxisRecord::*kElementFields[] = {
    &OrbitAxisRecord::semiMajorAxis,
    &OrbitAxisRecord::semiMajorAxisRate,
    &OrbitAxisRecord::eccentricity,
    &OrbitAxisRecord::eccentricityRate,
    &OrbitAxisRecord::inclinationDeg,
    &OrbitAxisRecord::inclinationRateDeg,
    &OrbitAxisRecord::meanLongitudeDeg,
    &OrbitAxisRecord::meanLongitudeRateDeg,
    &OrbitAxisRecord::perihelionLongitudeDeg,
    &OrbitAxisRecord::perihelionLongitudeRateDeg,
    &OrbitAxisRecord::nodeLongitudeDeg,
    &OrbitAxisRecord::nodeLongitudeRateDeg,
    &OrbitAxisRecord::termBDeg,
    &OrbitAxisRecord::termCDeg,
    &OrbitAxisRecord::termSDeg,
    &OrbitAxisRecord::termFDeg,
};
static_assert(std::size(kElementFields) == OCAELOORBITAXIS_TERM_F - OCAELOORBITAXIS_A + 1);

/* The record field behind the number text of a parameter 1003 to 1018. */
[[nodiscard]] inline double OrbitAxisRecord::*ElementField(int32_t parameterId) {
    return kElementFields[parameterId - OCAELOORBITAXIS_A];
}

/* The ellipse an orbit axis shows, in scene units. */
struct ScaledEllipse {
    double semiMajorAxis;
    double semiMinorAxis;
    double centreOffset; /* from the focus (the orbit axis) to the centre: a e */
};

class ObjCaeloOrbitAxis : public ObjectData {
public:
    /* Broadcasts message 7 to the active document so that no node keeps a
     * link to this orbit axis. */
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

    /* Constructions behind the buttons; node is the orbit-axis node. Each
     * answers false at the first object or tag the host cannot make, and
     * keeps what it made until then. */
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
    void UpdateBand(HostNode* node, const OrbitState& state);
    void UpdateWrapDeformer(HostNode* deformer, double bandFraction) const;

    /* Writes the record into the node's parameters. */
    void WriteParameters(HostNode* node) const;
    /* Copies one parameter other than the element texts into the record. */
    void ReadParameter(const Container& container, int32_t parameterId);
    /* Parses element text 1003 to 1018 into its record field; text that is no
     * number keeps the field. The text is rewritten in normalised form
     * either way. */
    void ParseElementText(const Container& container, int32_t parameterId);
    /* Rebuilds the whole record from the parameters. */
    void ReadAllParameters(const Container& container);
    bool HandleButton(HostNode* node, int32_t buttonId);

    OrbitAxisRecord record;

    /* Links found by evaluation; per instance, never copied or stored,
     * emptied by message 7. */
    ObjCaeloSystem* cachedSystem = nullptr;
    ObjCaeloBodyAxis* cachedEnclosingBodyAxis = nullptr;
    HostNode* cachedBodyChild = nullptr;
};

} // namespace caelo

#endif
