#include "devhost/serve/request_error.h"

#include <fmt/format.h>

#include <cmath>

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
        throw RequestError(fmt::format("\"{}\" must be a whole number from {} to {}, not {}", name, low, high, value.dump()));
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
        throw RequestError(fmt::format("\"{}\" is {}: it must be a number from {} to {}", name, value.dump(), low, high));
    return number;
}

std::string textField(const nlohmann::json& body, std::string_view name)
{
    const nlohmann::json& value = field(body, name);
    if (!value.is_string())
        throw RequestError(fmt::format("\"{}\" must be a text, not {}", name, value.dump()));
    return value.get<std::string>();
}

bool flagField(const nlohmann::json& body, std::string_view name)
{
    const nlohmann::json& value = field(body, name);
    if (!value.is_boolean())
        throw RequestError(fmt::format("\"{}\" must be true or false, not {}", name, value.dump()));
    return value.get<bool>();
}

nlohmann::json parseBody(std::string_view text)
{
    nlohmann::json body = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (body.is_discarded() || !body.is_object())
        throw RequestError("the request body must be a JSON object, e.g. {\"gauge\": 3, \"x\": 10, \"y\": 20}");
    return body;
}

}  // namespace devhost
