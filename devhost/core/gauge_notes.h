// What the development host tells of a gauge's parameter text: the forms
// the module reads, with examples, for `devhost describe`.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "devhost/core/probe.h"

namespace devhost {

struct ParameterForms {
    std::string_view forms;     // what the text may say
    std::string_view examples;  // panel-file parameter texts, separated by " | "
};

// The forms for the named gauge; an empty ParameterForms when it reads none.
ParameterForms parameterForms(std::string_view gauge);

// What the gauge's shown needles point at on their faces, in the faces'
// units: "463 km/h", "engine speed 8736 rpm". Needles whose face the host
// does not know are left out.
// The clock's hands as times ("time 12:03", "stopwatch 1:05") and the gyro's
// heading and course come first.
std::vector<std::string> needleReadings(const GaugeSnapshot& gauge);

// What the gauge's shown texts say, quoted: the ADF's frequency window, the
// registration plate.
std::vector<std::string> textReadings(const GaugeSnapshot& gauge);

class Host;
class GaugeInstance;

// What a placed gauge reads now, in words (UTF-8): its needles on their
// faces (from shown, its probe), its shown texts, then its own tooltip
// texts.
std::vector<std::string> gaugeReadings(Host& host, GaugeInstance& gauge, const GaugeSnapshot& shown);

}  // namespace devhost
