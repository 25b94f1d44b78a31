/*
 * The rotation mathematics of the body axis: matrices, the direction towards
 * a reference body, and the globe's heading in each rotation mode. Pure
 * functions; nothing here reaches the host.
 *
 * Frames are the host's: left-handed, Y up; angles are heading, pitch, bank
 * in radians, rotation order 6 (heading about Y, then pitch about X, then
 * bank about Z), so heading h turns the +Z axis onto (-sin h, 0, cos h).
 *
 * The host has matrices of its own (host/services/matrix.h); the module keeps
 * these on purpose, so that it needs nothing of a host but the interface and
 * the stand-in host checks it independently.
 */
#ifndef CAELO_MODEL_BODY_AXIS_ROTATION_H
#define CAELO_MODEL_BODY_AXIS_ROTATION_H

#include "interface/hostInterface.h"

#include <optional>

namespace caelo::rotation {

/* ---- Matrices ------------------------------------------------------------ */

/* The product a x b: b's offset maps through a as a point, b's axes through a
 * as directions. Applying the product equals applying b, then a. */
[[nodiscard]] HostMatrix MultiplyMatrices(const HostMatrix& a, const HostMatrix& b);

/* The inverse of an affine matrix: the 3 x 3 part by cofactors over the
 * determinant, offset = -(that inverse applied to m.off). Nothing for a
 * determinant of exactly 0: a singular matrix has no inverse, and the caller
 * decides what to do without one. */
[[nodiscard]] std::optional<HostMatrix> InvertMatrix(const HostMatrix& m);

/* The rotation of heading, pitch and bank (radians, order 6 as above), the
 * host's own: X = (cB cH - sB sP sH, -sB cP, cB sH + sB sP cH), Y = (cB sP sH
 * + sB cH, cB cP, sB sH - cB sP cH), Z = (-cP sH, sP, cP cH); no offset. */
[[nodiscard]] HostMatrix AnglesToMatrix(HostVector hpb);

/* m.off + p.x m.x + p.y m.y + p.z m.z. */
[[nodiscard]] HostVector TransformPoint(const HostMatrix& m, HostVector point);

/* ---- Directions ---------------------------------------------------------- */

/* Horizontal length (in the XZ plane) below which a direction counts as
 * straight up or down, in scene units. */
inline constexpr double kVerticalDirectionThreshold = 0.00001;

/* Heading and pitch (radians; bank 0) that turn the +Z axis onto a direction.
 * With l = sqrt(x^2 + z^2): l below kVerticalDirectionThreshold gives heading
 * 0 and pitch +pi/2 for y > 0, else -pi/2. Otherwise heading = -asin(x / l)
 * for z > 0 and asin(x / l) + pi for z <= 0, so it lies in (-pi/2, 3pi/2];
 * pitch = atan(y / l). */
[[nodiscard]] HostVector VectorToAngles(HostVector direction);

/* Heading and pitch of the direction from a globe to a point, measured in the
 * frame in which the globe's relative position and rotation act.
 * Given: frame, the globe's parent world matrix times its frozen matrix;
 * point, the target's world position; globePosition, the globe's relative
 * position (scene units). Nothing when the frame is singular. */
[[nodiscard]] std::optional<HostVector> AnglesTowardPoint(const HostMatrix& frame, HostVector point,
                                                          HostVector globePosition);

/* ---- Globe headings ------------------------------------------------------ */

/* The globe's angle in degrees when it turns once per period:
 * fmod((jd - epochJd) x 360 / periodDays + angleAtEpochDeg, 360), which keeps
 * the sign of its first argument (negative before the epoch). Non-finite for
 * a period of 0 or a non-finite date. */
[[nodiscard]] double PeriodSpinAngleDeg(double jd, double epochJd, double periodDays, double angleAtEpochDeg);

/* The globe heading (radians) that keeps one face towards a reference body
 * whose direction has heading headingToReference. */
[[nodiscard]] double LockedHeading(double headingToReference);

/* The globe heading (radians) that turns once per model day relative to the
 * direction of the reference body and faces it at whole Julian Dates:
 * (jd - floor(jd)) x 2 pi + LockedHeading(headingToReference). */
[[nodiscard]] double SolarDayHeading(double jd, double headingToReference);

} // namespace caelo::rotation

#endif
