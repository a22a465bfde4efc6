// The one place where the flight model's properties become the host's
// variables: which properties devhost asks JSBSim for, and how each turns
// into what the simulator would deliver to the gauges.
//
//   airspeed          velocities/vc-kts: calibrated airspeed, in knots (the
//                     panel's indicated airspeed, without instrument error)
//   altitude          atmosphere/pressure-altitude corrected by the altimeter's
//                     setting (altimeter_mb) through the standard atmosphere:
//                     the altimeter reads pressure altitude at 1013.25 mb and
//                     27 ft more for each millibar above it, near the ground
//   vertical_speed    velocities/h-dot-fps, in 1/256 m/s
//   pitch             attitude/theta-deg
//   bank              attitude/phi-deg, its sign turned: JSBSim's right wing
//                     down is positive, the host's bank is positive to the left
//   heading           attitude/psi-deg less the scenery's magnetic variation
//   turn_rate         velocities/psidot-rad_sec: 1152 (the needle on its mark)
//                     for a standard-rate turn of 3 degrees a second
//   ball              the angle of the apparent gravity from the pilot's
//                     accelerations (n-pilot-y/z), 127 at 15 degrees: the ball
//                     rolls away from the side force, out of a skid
//   rpm_N             propulsion/engine[N]/n2 (100 % is 10000 rpm), in 1/91 rpm
//   egt_N, oil_pressure_N, fuel_pressure_N, press_ratio_N
//                     the aircraft's instruments/engine/* properties (degrees
//                     Rankine, kg/cm2 times 2050.82, the compressor's ratio)
//   fuel_front_level, fuel_aft_level
//                     propulsion/tank[0|1]/pct-full, as 2^-23 of full
//   fuel_front_capacity, fuel_aft_capacity
//                     instruments/fuel/capacity-gal[0|1], gallons
//   flaps             fcs/flap-pos-norm, 16383 at full travel
//
// The aircraft's position (position/lat-geod-deg, position/long-gc-deg,
// position/h-sl-ft, attitude/psi-deg) goes to the radios (navigation.h).
#pragma once

#include <array>
#include <span>
#include <string>
#include <vector>

#include "devhost/core/values.h"

namespace devhost {

struct EngineState {
    double speedPercent = 0;                       // N2, 100 % at 10000 rpm
    double exhaustRankine = 0, pressureRatio = 1;
    double oilKgPerCm2 = 0, fuelKgPerCm2 = 0;
};

struct TankState {
    double percentFull = 0, capacityGallons = 0;
};

struct ModelState {
    double airspeedKnots = 0, pressureAltitudeFt = 0, climbFeetPerSecond = 0;
    double pitchDeg = 0, bankRightDeg = 0, headingTrueDeg = 0, turnRadPerSecond = 0;
    // The specific force along the body's y axis (right positive) and its z
    // axis (-1 in level flight), in g.
    double sideForceG = 0, normalForceG = -1;
    double latitudeDeg = 0, longitudeDeg = 0, altitudeMslFt = 0;
    double flapsFraction = 0;
    std::array<EngineState, 2> engines;
    std::array<TankState, 2> tanks;   // front, aft
};

// The properties, in the order modelState() takes their values.
std::span<const std::string> modelProperties();
ModelState modelState(std::span<const double> values);

// What the host delivers for that state, given the altimeter's pressure
// setting and the magnetic variation (degrees, east positive).
std::vector<VariableValue> instrumentValues(const ModelState& state, double altimeterMillibars,
                                            double magneticVariation);

}  // namespace devhost
