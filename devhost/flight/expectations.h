// What a flight script expects the panel to show at a checkpoint, and the
// check of it against a running host.
//
// The forms an expectation takes are told in flight.h.
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
