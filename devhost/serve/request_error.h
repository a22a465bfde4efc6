// A request the live panel refuses: the status to answer with (4xx) and a
// plain message naming the value and what would be accepted. Nothing has
// been changed when it is raised.
#pragma once

#include <nlohmann/json.hpp>

#include <stdexcept>
#include <string>
#include <string_view>

#include "devhost/core/input_error.h"

namespace devhost {

class RequestError : public std::runtime_error {
public:
    explicit RequestError(const std::string& message, int status = 400) : std::runtime_error(message), status_(status) {}
    int status() const { return status_; }

private:
    int status_;
};

// Fields of a request body: present, of the right type and within bounds,
// or a RequestError that names the field.
const nlohmann::json& field(const nlohmann::json& body, std::string_view name);
long long integerField(const nlohmann::json& body, std::string_view name, long long low, long long high);
double numberField(const nlohmann::json& body, std::string_view name, double low, double high);
std::string textField(const nlohmann::json& body, std::string_view name);
bool flagField(const nlohmann::json& body, std::string_view name);

// Bodies nest no deeper than this: the values are short, and a value nested
// 100,000 deep would exhaust the stack of whatever walks it.
inline constexpr int MaxBodyDepth = 32;

// The body as a JSON object, or a RequestError (413 for an object of more
// than MaxJsonObjectKeys keys).
nlohmann::json parseBody(std::string_view text);
// A RequestError when arrays and objects in the text nest deeper than MaxBodyDepth.
void checkNesting(std::string_view text);

// A value as a message quotes it: short, cut when long (as excerpt() cuts texts).
std::string excerptOf(const nlohmann::json& value);

}  // namespace devhost
