// A request the live panel refuses: the status to answer with (4xx) and a
// plain message naming the value and what would be accepted. Nothing has
// been changed when it is raised.
#pragma once

#include <nlohmann/json.hpp>

#include <stdexcept>
#include <string>
#include <string_view>

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

// The body as a JSON object, or a RequestError.
nlohmann::json parseBody(std::string_view text);

}  // namespace devhost
