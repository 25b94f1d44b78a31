/*
 * The body-axis object: one celestial body, with its size, the tilt of its
 * rotation axis and its daily rotation. It keeps its settings in a
 * BodyAxisRecord, mirrored in its parameters. At every evaluation it tilts its
 * own node by the obliquity and turns it by its heading, sizes its linked
 * globe from the equatorial radius and spins the globe by its rotation mode.
 */
#ifndef CAELO_SOURCE_OBJ_CAELO_BODY_AXIS_H
#define CAELO_SOURCE_OBJ_CAELO_BODY_AXIS_H

#include "model/moduleIds.h"
#include "model/nodeRecords.h"
#include "model/units.h"
#include "source/nodeData.h"
#include "source/parameterBinding.h"

#include <cstdint>

namespace caelo {

class ObjCaeloSystem;
struct OrbitAxisRecord;
struct RingRecord;

/* The name id that leaves a created object unnamed. */
inline constexpr int32_t kNoNameId = -1;

class ObjCaeloBodyAxis : public ObjectData {
public:
    /* Broadcasts HOST_MSG_REFRESH_LINKS to the active document so that
     * no node keeps a link to this body axis. */
    ~ObjCaeloBodyAxis() override;

    bool InitNode(HostNode* node) override;
    bool CopyNode(HostNode* node, HostNode* destination, BaseData* destinationData) override;
    bool HandleMessage(HostNode* node, int32_t type, void* data) override;
    bool IsParameterEnabled(HostNode* node, int32_t parameterId) override;
    bool AddToEvaluation(HostNode* node, HostEvaluationList* list) override;
    int32_t EvaluateObject(HostNode* node) override;

    /* Record field 8: the factor on the drawn size of the globe, of this
     * body's rings and of km-mode orbits below it. */
    [[nodiscard]] double GetGlobeScale() const { return record.globeScale; }
    /* Record field 9: the factor on the au-mode orbit distances below. */
    [[nodiscard]] double GetSatelliteScale() const { return record.satelliteScale; }
    /* The cached governing system, or null while none is found. */
    [[nodiscard]] ObjCaeloSystem* GetCachedSystem() const { return cachedSystem; }
    /* The cached enclosing body-axis node, or null. */
    [[nodiscard]] HostNode* GetCachedEnclosingBodyAxis() const { return cachedEnclosingBodyAxis; }

    /* The globe linked in parameter 1011; null when the link is empty. */
    [[nodiscard]] HostNode* GetGlobe() const { return LinkedGlobe(GetNode()); }
    /* Half extents of the globe linked in parameter 1011, in scene units;
     * (0, 0, 0) when the link is empty. */
    [[nodiscard]] HostVector GetGlobeSize() const;

    /* Replaces the whole record, writes it into the own node's parameters
     * and applies it at once (links, globe size, orientation). The cached
     * links are kept. */
    void SetBodyRecord(const BodyAxisRecord& record);

    /* ---- Construction: objects created below the body-axis node ---------- */

    /* Appends an orbit plane and an equator plane, each with a shading tag
     * and its plane tag and switched off, then a globe sphere named by the
     * string `nameId` (kNoNameId: unnamed) with a shading tag, and links the
     * globe in parameter 1011. False at the first plane, plane tag, shading
     * tag of a plane or globe that cannot be made; what was made stays. */
    bool CreateGlobeAndPlanes(HostNode* node, int32_t nameId);
    /* Appends a ring body of `objectType` (a tube or torus is named by
     * `nameId` and given its segments) with a shading tag and a ring tag set
     * from `ringRecord`; with none the existing rings are re-spaced and the
     * new one takes the outermost slot. False when the body or its ring tag
     * cannot be made. */
    bool AddRing(HostNode* node, int32_t objectType, int32_t nameId, const RingRecord* ringRecord);
    /* Appends an orbit axis named "<orbit prefix>(<string nameId>)", gives it
     * `orbitRecord` (with none, a moon band around this body) and creates its
     * band. False when the orbit axis or a band object cannot be made. */
    bool AddMoonOrbit(HostNode* node, int32_t nameId, const OrbitAxisRecord* orbitRecord);

private:
    /* Rebuilds the whole record from the parameters, and the memory of the
     * heading written from its two parameters when both hold one. */
    void ReloadBodyParameters(HostNode* node);
    /* HOST_MSG_BUTTON: the action of a button of the node; any other id does
     * nothing and answers true. */
    bool HandleButton(HostNode* node, int32_t buttonId);
    /* Appends an orbit axis with its own defaults and no name. */
    static bool AddOrbitAxis(HostNode* node);
    /* Re-spaces the rings among the node's children over the zone from 1.25
     * to 2 equatorial radii and answers the record of one more ring in the
     * outermost slot. */
    [[nodiscard]] RingRecord LayoutRings(HostNode* node) const;
    /* The orbit of a new moon: a band from 2.5 to 3.25 equatorial radii, in
     * kilometres. */
    [[nodiscard]] OrbitAxisRecord DefaultMoonOrbit() const;

    /* The body the rotation modes refer to, starting from the enclosing
     * body axis; null when there is none. */
    [[nodiscard]] HostNode* FindReferenceBody(HostNode* enclosing) const;
    /* Fills each empty cached link. */
    void RefreshBodyLinks(HostNode* node);
    /* The globe linked in parameter 1011, resolved in the node's document;
     * null when the link is empty. Looked up once per evaluation. */
    [[nodiscard]] static HostNode* LinkedGlobe(HostNode* node);
    /* Sets the radius of the globe, when it is a sphere, from the equatorial
     * radius. */
    void SizeGlobe(HostNode* globe) const;
    /* Tilts and heads the node, then spins the globe (null: none). */
    void OrientBody(HostNode* node, HostNode* globe);
    void OrientAxis(HostNode* node);
    void SpinByPeriod(HostNode* globe) const;
    void SpinLocked(HostNode* globe) const;
    void SpinSolarDay(HostNode* globe) const;

    BodyAxisRecord record;

    /* Links found by evaluation; per instance, never copied or stored,
     * emptied by HOST_MSG_REFRESH_LINKS. */
    ObjCaeloSystem* cachedSystem = nullptr;
    HostNode* cachedReferenceBody = nullptr;
    HostNode* cachedEnclosingBodyAxis = nullptr;

    /* The heading this instance last wrote into its node (radians) and the
     * heading it added the body's heading to; see OrientAxis. Kept with the
     * node's rotation: a copy takes them from the instance, a loaded scene
     * from two parameters outside the description (1052 and 1053). */
    bool headingWritten = false;
    double writtenHeading = 0.0;
    double headingBase = 0.0;
    /* True while those two parameters hold exactly writtenHeading and
     * headingBase, so that a pass that leaves the memory as it was does not
     * write them again. Only this instance writes them; a new instance
     * (made, loaded or copied) writes them once. */
    bool headingParametersCurrent = false;
};

/* The nearest body-axis node above `node`, starting at its parent. The walk
 * stops with null at a system node, whose instance is then stored in
 * *system; in every other case *system is set to null. `system` may be
 * null. */
HostNode* FindEnclosingBodyAxis(HostNode* node, ObjCaeloSystem** system);

} // namespace caelo

#endif
