#include "devhost/model/scenery.h"

#include <algorithm>
#include <cmath>
#include <fmt/format.h>
#include <initializer_list>
#include <nlohmann/json.hpp>

#include "devhost/core/registers.h"
#include "devhost/core/text_file.h"

namespace devhost {

namespace {

using json = nlohmann::json;

constexpr int IlsBottomKhz = 108100, IlsTopKhz = 111950;
constexpr int VorOddTenthsBelowKhz = 112000;  // below it the odd tenths are the localisers'
constexpr int AdfLowestTenths = 2000, AdfHighestTenths = 17500;  // the receiver's three bands
constexpr double LongestRangeNm = 300;  // beyond any radio horizon a flight reaches
constexpr double LongestRunwayFt = 20000;

// An object of the file and where its key stands in the text: nlohmann's
// values carry no positions, so a problem finds its line from there.
struct Section {
    const json& value;
    std::string name;  // as the messages quote it: "runway", "ndb.position"
    size_t offset;
};

class SceneryReader {
public:
    SceneryReader(std::string_view text, std::string_view file) : text_(text), file_(file) {}

    Scenery read()
    {
        if (const size_t nul = text_.find('\0'); nul != std::string_view::npos)
            fail(nul, "a NUL byte: a scenery file is text");
        json root;
        try {
            root = json::parse(text_, nullptr, true, true);
        } catch (const json::parse_error& error) {
            fail(error.byte > 0 ? error.byte - 1 : 0, "not valid JSON: " + excerpt(ownWords(error), 200));
        } catch (const json::exception& error) {
            fail(WholeFile, "not valid JSON: " + excerpt(ownWords(error), 200));
        }
        if (!root.is_object())
            fail(WholeFile, "a scenery file is a JSON object");
        const Section top{root, "", 0};
        only(top, {"name", "magnetic_variation", "runway", "ils", "ndb", "vor", "tower"});

        Scenery scenery;
        scenery.source = std::string(file_);
        scenery.name = text(top, "name");
        scenery.magneticVariation = number(top, "magnetic_variation", -180, 180);

        const Section runway = section(top, "runway");
        only(runway, {"name", "threshold", "elevation_ft", "heading_true", "length_ft"});
        scenery.runway = {.name = text(runway, "name"),
                          .threshold = point(runway, "threshold"),
                          .elevationFt = number(runway, "elevation_ft", -1500, 30000),
                          .headingTrue = number(runway, "heading_true", 0, 360),
                          .lengthFt = number(runway, "length_ft", 1, LongestRunwayFt)};

        const Section ils = section(top, "ils");
        only(ils, {"frequency_mhz", "course_magnetic", "glide_path_deg", "crossing_height_ft"});
        scenery.ils = {.frequencyKhz = channel(ils, "frequency_mhz", Band::Localiser),
                       .courseMagnetic = number(ils, "course_magnetic", 0, 360),
                       .glidePathDeg = number(ils, "glide_path_deg", 1, 10),
                       .crossingHeightFt = number(ils, "crossing_height_ft", 0, 200)};

        const Section ndb = section(top, "ndb");
        only(ndb, {"ident", "frequency_khz", "position", "range_nm"});
        scenery.ndb = {.ident = text(ndb, "ident"),
                       .frequencyTenths = adfTenths(ndb, "frequency_khz"),
                       .position = point(ndb, "position"),
                       .rangeNm = number(ndb, "range_nm", 0, LongestRangeNm)};

        const Section vor = section(top, "vor");
        only(vor, {"ident", "frequency_mhz", "position", "range_nm"});
        scenery.vor = {.ident = text(vor, "ident"),
                       .frequencyKhz = channel(vor, "frequency_mhz", Band::Vor),
                       .position = point(vor, "position"),
                       .rangeNm = number(vor, "range_nm", 0, LongestRangeNm)};

        const Section tower = section(top, "tower");
        only(tower, {"frequency_mhz"});
        scenery.towerKhz = channel(tower, "frequency_mhz", Band::Com);
        return scenery;
    }

private:
    enum class Band { Localiser, Vor, Com };

    // The reader's message without its "[json.exception...] parse error at
    // line L, column C: " preamble, whose line counts differently from ours.
    static std::string ownWords(const json::exception& error)
    {
        const std::string what = error.what();
        const size_t colon = what.find(": ");
        return colon == std::string::npos ? what : what.substr(colon + 2);
    }

    // WholeFile for a problem of the file as a whole (no line).
    static constexpr size_t WholeFile = std::string_view::npos;
    [[noreturn]] void fail(size_t offset, const std::string& problem) const
    {
        const auto before = text_.substr(0, offset == WholeFile ? 0 : offset);
        const int line = offset == WholeFile ? 0 : 1 + static_cast<int>(std::count(before.begin(), before.end(), '\n'));
        throw SceneryError(std::string(file_), line, problem);
    }

    // Where a key of the section is written: the first time it is after the
    // section's own key, the section's line when it is missing.
    size_t keyOffset(const Section& in, std::string_view key) const
    {
        const size_t at = text_.find("\"" + std::string(key) + "\"", in.offset);
        return at == std::string_view::npos ? in.offset : at;
    }

    std::string where(const Section& in, std::string_view key) const
    {
        return "\"" + (in.name.empty() ? "" : in.name + ".") + std::string(key) + "\"";
    }

    const json& entry(const Section& in, std::string_view key) const
    {
        const auto found = in.value.find(key);
        if (found == in.value.end())
            fail(in.name.empty() ? WholeFile : in.offset, where(in, key) + " is missing");
        return *found;
    }

    void only(const Section& in, std::initializer_list<std::string_view> keys) const
    {
        for (const auto& [key, value] : in.value.items())
            if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
                std::string expected;
                for (std::string_view k : keys)
                    expected += (expected.empty() ? "" : ", ") + std::string(k);
                fail(keyOffset(in, key), "unknown entry " + where(in, excerpt(key)) + " (expected " + expected + ")");
            }
    }

    Section section(const Section& in, std::string_view key) const
    {
        const json& value = entry(in, key);
        if (!value.is_object())
            fail(keyOffset(in, key), where(in, key) + " must be an object");
        return {value, (in.name.empty() ? "" : in.name + ".") + std::string(key), keyOffset(in, key)};
    }

    std::string text(const Section& in, std::string_view key) const
    {
        const json& value = entry(in, key);
        if (!value.is_string() || value.get_ref<const std::string&>().empty())
            fail(keyOffset(in, key), where(in, key) + " must be a non-empty text");
        return value.get<std::string>();
    }

    double number(const Section& in, std::string_view key, double lowest, double highest) const
    {
        const json& value = entry(in, key);
        if (!value.is_number())
            fail(keyOffset(in, key), where(in, key) + " must be a number");
        const double number = value.get<double>();
        if (!(number >= lowest && number <= highest))
            fail(keyOffset(in, key), fmt::format("{} {} is out of range: expected {} to {}", where(in, key),
                                                 value.dump(), lowest, highest));
        return number;
    }

    GeoPoint point(const Section& in, std::string_view key) const
    {
        const Section position = section(in, key);
        only(position, {"lat", "lon"});
        return {number(position, "lat", -90, 90), number(position, "lon", -180, 180)};
    }

    int channel(const Section& in, std::string_view key, Band band) const
    {
        const double mhz = number(in, key, 100, 200);
        const long khz = std::lround(mhz * 1000);
        const bool onStep = std::fabs(mhz * 1000 - double(khz)) < 1e-6;
        const bool tuned = [&] {
            switch (band) {
            case Band::Localiser:
                return onStep && khz % NavStepKhz == 0 && khz >= IlsBottomKhz && khz <= IlsTopKhz && khz / 100 % 2 == 1;
            case Band::Vor:
                return onStep && khz % NavStepKhz == 0 && khz >= NavBottomKhz && khz <= NavTopKhz &&
                       (khz >= VorOddTenthsBelowKhz || khz / 100 % 2 == 0);
            case Band::Com: return onStep && khz % ComStepKhz == 0 && khz >= ComBottomKhz && khz <= ComTopKhz;
            }
            return false;
        }();
        if (!tuned)
            fail(keyOffset(in, key),
                 fmt::format("{} {} MHz is not {}", where(in, key), entry(in, key).dump(),
                             band == Band::Localiser ? "a localiser channel (108.10 to 111.95 MHz with an odd tenth)"
                             : band == Band::Vor
                                 ? "a VOR channel (108.00 to 117.95 MHz in 50-kHz steps, an even tenth below 112)"
                                 : "a COM channel (118.000 to 136.975 MHz in 25-kHz steps)"));
        return static_cast<int>(khz);
    }

    int adfTenths(const Section& in, std::string_view key) const
    {
        const double khz = number(in, key, 0, 10000);
        const long tenths = std::lround(khz * 10);
        if (std::fabs(khz * 10 - double(tenths)) > 1e-6 || tenths < AdfLowestTenths || tenths > AdfHighestTenths)
            fail(keyOffset(in, key),
                 fmt::format("{} {} kHz is not an ADF frequency (200.0 to 1750.0 kHz in 0.1-kHz steps)",
                             where(in, key), entry(in, key).dump()));
        return static_cast<int>(tenths);
    }

    std::string_view text_;
    std::string_view file_;
};

}  // namespace

Scenery parseScenery(std::string_view text, std::string_view file) { return SceneryReader(text, file).read(); }

Scenery loadScenery(const std::string& path)
{
    const std::string text = readTextFileOrThrow<SceneryError>(path, "scenery file");
    return parseScenery(text, path);
}

}  // namespace devhost
