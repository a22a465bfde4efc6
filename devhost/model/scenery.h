// The world a modelled flight flies in: one airfield with its runway and
// instrument landing system, an NDB, a VOR and the tower's COM channel, read
// from a JSON file (fdm/scenery/*.json). navigation.h turns it and the
// aircraft's position into what the radios receive.
//
//   {
//     "name": "Wendmoor",
//     "magnetic_variation": 1.0,          // degrees, east positive
//     "runway": {"name": "26", "threshold": {"lat": 52.34, "lon": 10.55},
//                "elevation_ft": 262, "heading_true": 263, "length_ft": 6560},
//     "ils": {"frequency_mhz": 109.30, "course_magnetic": 262,
//             "glide_path_deg": 3.0, "crossing_height_ft": 50},
//     "ndb": {"ident": "WN", "frequency_khz": 383, "position": {"lat": 52.35, "lon": 10.65},
//             "range_nm": 25},
//     "vor": {"ident": "WDM", "frequency_mhz": 113.65, "position": {"lat": 52.45, "lon": 10.50},
//             "range_nm": 40},
//     "tower": {"frequency_mhz": 118.575}
//   }
//
// Every entry is required and no other is taken; comments (// and /* */)
// are allowed. Frequencies must be channels the radios can tune: the ILS
// on 108.10 to 111.95 MHz with an odd tenth, the VOR on 108.00 to 117.95 MHz
// (an even tenth below 112, where the odd ones are the localisers'), the
// NDB within the ADF receiver's 200 to 1750 kHz, the tower on a 25-kHz COM
// channel.
#pragma once

#include <string>
#include <string_view>

#include "devhost/core/input_error.h"

namespace devhost {

class SceneryError : public InputError {
public:
    using InputError::InputError;
};

struct GeoPoint {
    double latitude = 0;   // degrees, north positive
    double longitude = 0;  // degrees, east positive
};

struct Runway {
    std::string name;
    GeoPoint threshold;      // the landing threshold, on the centreline
    double elevationFt = 0;  // of the threshold, above mean sea level
    double headingTrue = 0;  // the landing direction, degrees true
    double lengthFt = 0;     // threshold to the far end
};

struct Ils {
    int frequencyKhz = 0;
    double courseMagnetic = 0;     // the inbound course, degrees magnetic
    double glidePathDeg = 3.0;     // above the horizontal
    double crossingHeightFt = 50;  // of the glide path over the threshold
};

struct Ndb {
    std::string ident;
    int frequencyTenths = 0;  // tenths of kHz, as the ADF registers count
    GeoPoint position;
    double rangeNm = 0;
};

struct Vor {
    std::string ident;
    int frequencyKhz = 0;
    GeoPoint position;
    double rangeNm = 0;
};

struct Scenery {
    std::string name;
    std::string source;               // the file it was read from
    double magneticVariation = 0;     // degrees, east positive: magnetic = true - variation
    Runway runway;
    Ils ils;
    Ndb ndb;
    Vor vor;
    int towerKhz = 0;
};

// Throws SceneryError naming the file, the line and the problem.
Scenery parseScenery(std::string_view text, std::string_view file);
Scenery loadScenery(const std::string& path);

}  // namespace devhost
