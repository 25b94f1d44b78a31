#include "model/bodyAxisRotation.h"

#include "model/units.h"

#include <cmath>

namespace caelo::rotation {

namespace {

constexpr double kDegreesPerTurn = 360.0;

HostVector Add(HostVector a, HostVector b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

HostVector Subtract(HostVector a, HostVector b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

HostVector Scale(HostVector v, double f) {
    return {v.x * f, v.y * f, v.z * f};
}

HostVector Cross(HostVector a, HostVector b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double Dot(HostVector a, HostVector b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

HostVector TransformDirection(const HostMatrix& m, HostVector d) {
    return Add(Add(Scale(m.x, d.x), Scale(m.y, d.y)), Scale(m.z, d.z));
}

} // namespace

HostMatrix AnglesToMatrix(HostVector hpb) {
    const double sH = std::sin(hpb.x), cH = std::cos(hpb.x);
    const double sP = std::sin(hpb.y), cP = std::cos(hpb.y);
    const double sB = std::sin(hpb.z), cB = std::cos(hpb.z);
    return {{0.0, 0.0, 0.0},
            {cB * cH - sB * sP * sH, -sB * cP, cB * sH + sB * sP * cH},
            {cB * sP * sH + sB * cH, cB * cP, sB * sH - cB * sP * cH},
            {-cP * sH, sP, cP * cH}};
}

HostMatrix MultiplyMatrices(const HostMatrix& a, const HostMatrix& b) {
    return {TransformPoint(a, b.off), TransformDirection(a, b.x), TransformDirection(a, b.y),
            TransformDirection(a, b.z)};
}

std::optional<HostMatrix> InvertMatrix(const HostMatrix& m) {
    /* With the axes as columns, the rows of the inverse are the cross
     * products of the other two axes over the determinant. */
    const HostVector row0 = Cross(m.y, m.z);
    const HostVector row1 = Cross(m.z, m.x);
    const HostVector row2 = Cross(m.x, m.y);
    const double determinant = Dot(m.x, row0);
    if (determinant == 0.0) {
        return std::nullopt;
    }
    const double f = 1.0 / determinant;
    HostMatrix inverse;
    inverse.x = Scale({row0.x, row1.x, row2.x}, f);
    inverse.y = Scale({row0.y, row1.y, row2.y}, f);
    inverse.z = Scale({row0.z, row1.z, row2.z}, f);
    inverse.off = Scale(TransformDirection(inverse, m.off), -1.0);
    return inverse;
}

HostVector TransformPoint(const HostMatrix& m, HostVector point) {
    return Add(m.off, TransformDirection(m, point));
}

HostVector VectorToAngles(HostVector direction) {
    const double horizontal = std::sqrt(direction.x * direction.x + direction.z * direction.z);
    if (horizontal < kVerticalDirectionThreshold) {
        return {0.0, direction.y > 0.0 ? kHalfPi : -kHalfPi, 0.0};
    }
    /* s can leave [-1, 1] by rounding; the clamped ends are asin's limits. */
    const double s = direction.x / horizontal;
    const double arc = s >= 1.0 ? kHalfPi : (s <= -1.0 ? -kHalfPi : std::asin(s));
    const double heading = direction.z > 0.0 ? -arc : arc + kPi;
    return {heading, std::atan(direction.y / horizontal), 0.0};
}

std::optional<HostVector> AnglesTowardPoint(const HostMatrix& frame, HostVector point,
                                            HostVector globePosition) {
    const std::optional<HostMatrix> inverse = InvertMatrix(frame);
    if (!inverse) {
        return std::nullopt;
    }
    return VectorToAngles(Subtract(TransformPoint(*inverse, point), globePosition));
}

double PeriodSpinAngleDeg(double jd, double epochJd, double periodDays, double angleAtEpochDeg) {
    return std::fmod((jd - epochJd) * kDegreesPerTurn / periodDays + angleAtEpochDeg, kDegreesPerTurn);
}

double LockedHeading(double headingToReference) {
    return headingToReference + kHalfPi;
}

double SolarDayHeading(double jd, double headingToReference) {
    return (jd - std::floor(jd)) * kTwoPi + LockedHeading(headingToReference);
}

} // namespace caelo::rotation
