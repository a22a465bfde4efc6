// What the radios receive from the scenery's stations at the aircraft's
// position: the ADF's relative bearing, the NAV1 localiser and glide-path
// deviations, station flags, radial and course, as the host delivers them
// to the gauges. A modelled flight calls updateRadios() every frame.
//
// The Earth is a sphere of the WGS-84 mean radius (6371.0088 km): over the
// tens of miles a radio reaches, the ellipsoid changes bearings by a tenth
// of a degree at most, far below what a needle shows.
//
// Reception:
// - NDB: within the scenery's range_nm of the beacon, with the ADF tuned to
//   its frequency to the tenth of a kHz. Without a station the host delivers
//   a relative bearing of 90 degrees: the full-circle needle lies across to
//   the right, where it also rests with the receiver off.
// - Localiser: tuned to the ILS frequency, in front of the antenna (on the
//   approach side) within 35 degrees of the course to 18 NM and within 10
//   degrees to 25 NM, the usual service volume. Only then is the approach
//   bit (0x80) of nav1_flags set, which alone lets the landing indicator's
//   needles move. Full scale (±127) is ±2.5 degrees off the course, needle
//   right when the aircraft is left of it (fly right).
// - Glide path: with the localiser received, within 10 NM of the glide-path
//   antenna and 8 degrees of the course, ahead of it. Full scale (±120) is
//   ±0.7 degrees off the path, needle down when above it (fly down); outside
//   its coverage the needle is centred (the host has no glide-path flag).
// - VOR: tuned to its frequency and within its range_nm: nav1_radial is the
//   magnetic bearing from the station. The panel has no course selector, so
//   the deviations stay 0 and the approach bit clear.
// - Nothing received on NAV1: every NAV1 value 0.
#pragma once

#include <cstdint>
#include <optional>

#include "devhost/model/scenery.h"

namespace devhost {

class VariableStore;

inline constexpr double EarthRadiusNm = 6371008.8 / 1852.0;
inline constexpr double FeetPerNauticalMile = 1852.0 / 0.3048;

// Great-circle distance in nautical miles, and the initial true bearing
// (0 to 360) from `from` towards `to`.
double distanceNm(GeoPoint from, GeoPoint to);
double bearingTrue(GeoPoint from, GeoPoint to);
// The point reached from `from` along the great circle leaving on bearing.
GeoPoint travel(GeoPoint from, double bearingTrue, double distanceNm);

struct AircraftPosition {
    GeoPoint position;
    double altitudeFt = 0;   // above mean sea level
    double headingTrue = 0;  // degrees
};

// What the radios are tuned to; nothing for a register that holds no
// frequency (a BCD digit above 9).
struct RadioTuning {
    std::optional<int> navKhz;
    std::optional<int> adfTenths;  // tenths of kHz
};
RadioTuning tuningOf(const VariableStore& variables);

// The host variables the gauges read, in the host's units.
struct RadioSignals {
    bool adfReceived = false;
    double adfBearing = 90;       // adf_bearing: relative, degrees clockwise from the nose, 0 to 360
    bool navReceived = false;     // the ILS or the VOR
    double courseDeviation = 0;   // nav1_course_dev: -127..127, positive needle right
    double glideDeviation = 0;    // nav1_glide_dev: -120..120, positive needle down
    double radial = 0;            // nav1_radial: degrees magnetic from the station
    uint32_t navFlags = 0;        // nav1_flags: 0x80 with a localiser received
    double courseAngle = 0;       // nav1_course_angle: the localiser course, 65536ths of a turn
};
inline constexpr uint32_t ApproachSignal = 0x80;

RadioSignals radioSignals(const Scenery& scenery, const AircraftPosition& aircraft, const RadioTuning& tuning);
void writeSignals(const RadioSignals& signals, VariableStore& variables);

// The frame's work: the tuning read from the store, the signals written to it.
void updateRadios(const Scenery& scenery, const AircraftPosition& aircraft, VariableStore& variables);

}  // namespace devhost
