// What a flight script expects the panel to show at a checkpoint, and the
// check of it against a running host.
//
// A checkpoint's "expect" names gauges or variables:
//
//   "expect": {
//     "Airspeed": "450 km/h ±5",                   // a reading with that unit, within 5 km/h
//     "Radio_COM_SK10": "122.800 MHz",             // exactly as shown
//     "Landing_Indicator": {"localiser": "0 ±0.2 dots", "glide path": "1 dots down ±0.5"},
//     "Artificial_Horizon": {"bank": "25 ° right ±2", "gyro": "free"},
//     "Radio_XPDR_FUG25A6": "code 7700",           // words: a reading that says them
//     "com1_freq": "122.80",                       // a variable, in any form --set takes
//     "airspeed": "250kmh ±2"
//   }
//
// A gauge's expectation is checked against its readings in words (what
// `devhost run` prints): a number with a unit is compared with the number
// the first reading shows in that unit; with a label (the object form),
// only the readings that begin with the label are looked at; a number
// without a unit is compared with the first number of such a reading.
// "left" and "down" after the number count it negative, "right" and "up"
// positive, as the readings say them. The tolerance follows "±" (or "+-")
// in the same unit; without one the number must be shown exactly. Words
// without a number must appear in a reading, case aside.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace devhost {

class Host;

struct Expectation {
    std::string subject;              // a gauge's name or a variable's
    std::string label;                // the reading's label (object form), or empty
    std::string expected;             // as written
    bool variable = false;            // subject is a host variable
    int line = 0;
};

// The expected text taken apart: a number with its tolerance and unit, or
// words. Throws std::invalid_argument naming what is wrong.
struct ExpectedValue {
    std::optional<double> number;     // signed by a direction word
    double tolerance = 0;
    std::string unit;                 // as written, may be empty
    std::string words;                // when there is no number
};
ExpectedValue parseExpected(const std::string& text);

// Throws std::invalid_argument (ValueError for a variable's value) when the
// expectation cannot be read; the flight reader adds the line.
void validateExpectation(const Expectation& expectation);

struct ExpectationResult {
    double time = 0;                  // seconds into the flight
    std::string checkpoint;           // its label
    Expectation expectation;
    std::string shown;                // what the gauge or variable showed
    bool passed = false;
};

// What a placed gauge shows now, as expectations that hold while it shows
// the same: each of its readings, word for word. For a recording made in
// the live page ("expect what is shown now").
std::vector<Expectation> expectationsShownNow(Host& host, const std::string& gauge);

// Checks one expectation against the host as it is now.
ExpectationResult checkExpectation(Host& host, const Expectation& expectation);

// For CI: JUnit XML (one test case per expectation) and TAP.
std::string junitReport(const std::string& flight, const std::vector<ExpectationResult>& results);
std::string tapReport(const std::vector<ExpectationResult>& results);
// The failures as a table: time, gauge, expected, shown.
std::string failureTable(const std::vector<ExpectationResult>& results);

}  // namespace devhost
