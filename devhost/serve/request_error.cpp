#include "devhost/serve/request_error.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace devhost {

const nlohmann::json& field(const nlohmann::json& body, std::string_view name)
{
    const auto found = body.find(name);
    if (found == body.end())
        throw RequestError(fmt::format("the request lacks \"{}\"", name));
    return *found;
}

long long integerField(const nlohmann::json& body, std::string_view name, long long low, long long high)
{
    const nlohmann::json& value = field(body, name);
    if (!value.is_number_integer())
        throw RequestError(fmt::format("\"{}\" must be a whole number from {} to {}, not {}", name, low, high, excerptOf(value)));
    const long long number = value.get<long long>();
    if (number < low || number > high)
        throw RequestError(fmt::format("\"{}\" is {}: it must be from {} to {}", name, number, low, high));
    return number;
}

double numberField(const nlohmann::json& body, std::string_view name, double low, double high)
{
    const nlohmann::json& value = field(body, name);
    const double number = value.is_number() ? value.get<double>() : NAN;
    if (!(number >= low && number <= high))
        throw RequestError(fmt::format("\"{}\" is {}: it must be a number from {} to {}", name, excerptOf(value), low, high));
    return number;
}

std::string textField(const nlohmann::json& body, std::string_view name)
{
    const nlohmann::json& value = field(body, name);
    if (!value.is_string())
        throw RequestError(fmt::format("\"{}\" must be a text, not {}", name, excerptOf(value)));
    return value.get<std::string>();
}

bool flagField(const nlohmann::json& body, std::string_view name)
{
    const nlohmann::json& value = field(body, name);
    if (!value.is_boolean())
        throw RequestError(fmt::format("\"{}\" must be true or false, not {}", name, excerptOf(value)));
    return value.get<bool>();
}

std::string excerptOf(const nlohmann::json& value)
{
    // Nesting is bounded where bodies are read, so the text is made
    // whole; a long one is cut.
    return excerpt(value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
}

namespace {

// Refuses text whose arrays and objects nest deeper than MaxBodyDepth, or
// whose objects hold more than `maxKeys` keys, before it is parsed.
void checkShape(std::string_view text, size_t maxKeys)
{
    // Per open container: whether it is an object, and the commas met in it.
    std::array<std::pair<bool, size_t>, MaxBodyDepth + 1> open{};
    int depth = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > MaxBodyDepth)
                throw RequestError(fmt::format("the request nests arrays and objects deeper than {} levels", MaxBodyDepth));
            open[size_t(depth)] = {c == '{', 0};
        } else if (c == ']' || c == '}') {
            depth = std::max(depth - 1, 0);
        } else if (c == ',' && open[size_t(depth)].first && ++open[size_t(depth)].second >= maxKeys) {
            throw RequestError(fmt::format("the request has an object of more than {} keys", maxKeys), 413);
        }
    }
}

}  // namespace

void checkNesting(std::string_view text) { checkShape(text, SIZE_MAX); }

nlohmann::json parseBody(std::string_view text)
{
    checkShape(text, MaxJsonObjectKeys);
    nlohmann::json body = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (body.is_discarded() || !body.is_object())
        throw RequestError("the request body must be a JSON object, e.g. {\"gauge\": 3, \"x\": 10, \"y\": 20}");
    return body;
}

}  // namespace devhost
