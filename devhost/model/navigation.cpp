#include "devhost/model/navigation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "devhost/core/registers.h"
#include "devhost/core/variables.h"

namespace devhost {

namespace {

// The host variables written here (variables.cpp describes them).
constexpr uint32_t AdfBearing = 39, CourseDeviation = 40, GlideDeviation = 41, Nav1Radial = 45, Nav1Flags = 46,
                   Nav1CourseAngle = 48;

constexpr double FullCourseScale = 127, FullCourseDegrees = 2.5;
constexpr double FullGlideScale = 120, FullGlideDegrees = 0.7;
constexpr double AngleUnitsPerDegree = 65536.0 / 360.0;
constexpr double AdfNoStation = 90;  // the needle across to the right, as with the receiver off

// The localiser's service volume: wide near the field, narrow further out.
constexpr double LocaliserWideDegrees = 35, LocaliserWideNm = 18;
constexpr double LocaliserNarrowDegrees = 10, LocaliserNarrowNm = 25;
// The glide path's: 8 degrees either side of the course to 10 NM.
constexpr double GlidePathDegrees = 8, GlidePathNm = 10;
// The localiser antenna stands on the centreline this far beyond the far
// end of the runway, as usual; the scenery does not place it.
constexpr double LocaliserBeyondEndFt = 1000;

double radians(double degrees) { return degrees * std::numbers::pi / 180; }
double degrees(double radians) { return radians * 180 / std::numbers::pi; }

// 0 to 360, and -180 to 180.
double wrapped(double degrees)
{
    const double turned = std::fmod(degrees, 360.0);
    return turned < 0 ? turned + 360 : turned;
}
double signedAngle(double degrees)
{
    const double turned = wrapped(degrees);
    return turned > 180 ? turned - 360 : turned;
}

// How far off the approach course, as seen from an antenna on the
// centreline: positive when the aircraft is left of the course, where the
// bearing from the antenna turns clockwise from the course's reciprocal.
// That reciprocal is the centreline's great circle as it leaves the
// antenna (meridians converge: a mile from the threshold it is no longer
// the threshold's bearing), turned by as much as the localiser course is
// off the runway's heading.
double offCourse(const Scenery& scenery, GeoPoint antenna, GeoPoint aircraft)
{
    const Runway& runway = scenery.runway;
    const GeoPoint approach = travel(runway.threshold, runway.headingTrue + 180, 1);
    const double offset = scenery.ils.courseMagnetic + scenery.magneticVariation - runway.headingTrue;
    return signedAngle(bearingTrue(antenna, aircraft) - bearingTrue(antenna, approach) - offset);
}

double scaled(double degreesOff, double fullDegrees, double fullScale)
{
    return std::clamp(degreesOff / fullDegrees * fullScale, -fullScale, fullScale);
}

void receiveIls(const Scenery& scenery, const AircraftPosition& aircraft, RadioSignals& signals)
{
    const Runway& runway = scenery.runway;
    const Ils& ils = scenery.ils;
    const GeoPoint localiser =
        travel(runway.threshold, runway.headingTrue, (runway.lengthFt + LocaliserBeyondEndFt) / FeetPerNauticalMile);
    const double distance = distanceNm(localiser, aircraft.position);
    const double off = offCourse(scenery, localiser, aircraft.position);
    if (!((std::fabs(off) <= LocaliserWideDegrees && distance <= LocaliserWideNm) ||
          (std::fabs(off) <= LocaliserNarrowDegrees && distance <= LocaliserNarrowNm)))
        return;
    signals.navReceived = true;
    signals.navFlags = ApproachSignal;
    signals.courseDeviation = scaled(off, FullCourseDegrees, FullCourseScale);
    signals.radial = wrapped(bearingTrue(localiser, aircraft.position) - scenery.magneticVariation);
    signals.courseAngle = wrapped(ils.courseMagnetic) * AngleUnitsPerDegree;

    // The glide path rises from abeam the touchdown point, where it is at
    // the ground, and crosses the threshold at the crossing height.
    const double touchdownFt = ils.crossingHeightFt / std::tan(radians(ils.glidePathDeg));
    const GeoPoint glideAntenna = travel(runway.threshold, runway.headingTrue, touchdownFt / FeetPerNauticalMile);
    const double glideDistance = distanceNm(glideAntenna, aircraft.position);
    const double glideOff = offCourse(scenery, glideAntenna, aircraft.position);
    if (!(glideDistance <= GlidePathNm && std::fabs(glideOff) <= GlidePathDegrees))
        return;
    const double elevation =
        degrees(std::atan2(aircraft.altitudeFt - runway.elevationFt, glideDistance * FeetPerNauticalMile));
    signals.glideDeviation = scaled(elevation - ils.glidePathDeg, FullGlideDegrees, FullGlideScale);
}

void receiveVor(const Scenery& scenery, const AircraftPosition& aircraft, RadioSignals& signals)
{
    if (!(distanceNm(scenery.vor.position, aircraft.position) <= scenery.vor.rangeNm))
        return;  // a position that is not a number receives nothing either
    signals.navReceived = true;
    signals.radial = wrapped(bearingTrue(scenery.vor.position, aircraft.position) - scenery.magneticVariation);
}

}  // namespace

double distanceNm(GeoPoint from, GeoPoint to)
{
    // Haversine: exact on the sphere, and well-conditioned for the short
    // distances of an approach.
    const double lat1 = radians(from.latitude), lat2 = radians(to.latitude);
    const double dLon = radians(to.longitude - from.longitude);
    const double h =
        std::pow(std::sin((lat2 - lat1) / 2), 2) + std::cos(lat1) * std::cos(lat2) * std::pow(std::sin(dLon / 2), 2);
    return 2 * EarthRadiusNm * std::asin(std::min(1.0, std::sqrt(h)));
}

double bearingTrue(GeoPoint from, GeoPoint to)
{
    const double lat1 = radians(from.latitude), lat2 = radians(to.latitude);
    const double dLon = radians(to.longitude - from.longitude);
    const double north = std::cos(lat1) * std::sin(lat2) - std::sin(lat1) * std::cos(lat2) * std::cos(dLon);
    return wrapped(degrees(std::atan2(std::sin(dLon) * std::cos(lat2), north)));
}

GeoPoint travel(GeoPoint from, double bearing, double distance)
{
    const double lat1 = radians(from.latitude), course = radians(bearing), arc = distance / EarthRadiusNm;
    const double lat2 = std::asin(std::sin(lat1) * std::cos(arc) + std::cos(lat1) * std::sin(arc) * std::cos(course));
    const double dLon = std::atan2(std::sin(course) * std::sin(arc) * std::cos(lat1),
                                   std::cos(arc) - std::sin(lat1) * std::sin(lat2));
    return {degrees(lat2), signedAngle(from.longitude + degrees(dLon))};
}

RadioTuning tuningOf(const VariableStore& variables)
{
    RadioTuning tuning;
    tuning.navKhz = radioKhz(variables.getInteger(var::Nav1Frequency));
    const uint32_t extension = variables.getInteger(var::AdfExtension);
    const uint32_t tenth = extension & ~AdfThousandBit;
    const std::optional<uint32_t> units = fromBcd(variables.getInteger(var::AdfFrequency));
    if (units && *units <= 999 && tenth <= 9)
        tuning.adfTenths = static_cast<int>(((extension & AdfThousandBit ? 1000 : 0) + *units) * 10 + tenth);
    return tuning;
}

RadioSignals radioSignals(const Scenery& scenery, const AircraftPosition& aircraft, const RadioTuning& tuning)
{
    RadioSignals signals;
    const Ndb& ndb = scenery.ndb;
    if (tuning.adfTenths == ndb.frequencyTenths && distanceNm(aircraft.position, ndb.position) <= ndb.rangeNm) {
        signals.adfReceived = true;
        signals.adfBearing = wrapped(bearingTrue(aircraft.position, ndb.position) - aircraft.headingTrue);
    }
    if (tuning.navKhz == scenery.ils.frequencyKhz)
        receiveIls(scenery, aircraft, signals);
    else if (tuning.navKhz == scenery.vor.frequencyKhz)
        receiveVor(scenery, aircraft, signals);
    return signals;
}

void writeSignals(const RadioSignals& signals, VariableStore& variables)
{
    variables.set(AdfBearing, signals.adfBearing);
    variables.set(CourseDeviation, signals.courseDeviation);
    variables.set(GlideDeviation, signals.glideDeviation);
    variables.set(Nav1Radial, signals.radial);
    variables.setInteger(Nav1Flags, signals.navFlags);
    variables.set(Nav1CourseAngle, signals.courseAngle);
}

void updateRadios(const Scenery& scenery, const AircraftPosition& aircraft, VariableStore& variables)
{
    writeSignals(radioSignals(scenery, aircraft, tuningOf(variables)), variables);
}

}  // namespace devhost
