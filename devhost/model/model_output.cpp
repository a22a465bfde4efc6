#include "devhost/model/model_output.h"

#include <charconv>
#include <stdexcept>

#include "devhost/core/input_error.h"

namespace devhost {

namespace {

constexpr std::string_view Root = "/fdm/jsbsim/";

std::vector<std::string_view> fieldsOf(std::string_view line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.remove_suffix(1);
    const char separator = line.find('\t') != std::string_view::npos && line.find(',') == std::string_view::npos ? '\t' : ',';
    std::vector<std::string_view> fields;
    for (size_t from = 0;;) {
        const size_t end = line.find(separator, from);
        std::string_view field = line.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from);
        while (!field.empty() && field.front() == ' ')
            field.remove_prefix(1);
        while (!field.empty() && field.back() == ' ')
            field.remove_suffix(1);
        fields.push_back(field);
        if (end == std::string_view::npos)
            return fields;
        from = end + 1;
    }
}

std::string_view lastName(std::string_view path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string labelOf(std::string_view property)
{
    std::string label(property.starts_with(Root) ? property.substr(Root.size()) : property);
    for (size_t at = label.find("[0]"); at != std::string::npos; at = label.find("[0]", at))
        label.erase(at, 3);
    return label;
}

ModelOutput::ModelOutput(std::string_view labels, std::span<const std::string> properties)
{
    std::vector<std::string> names;
    for (std::string_view field : fieldsOf(labels))
        names.push_back(labelOf(field));
    width_ = names.size();
    size_t next = 1;  // column 0 is the time
    for (const std::string& property : properties) {
        const std::string wanted = labelOf(property);
        size_t column = next;
        while (column < names.size() && names[column] != wanted && names[column] != lastName(wanted))
            ++column;
        if (column >= names.size())
            throw std::runtime_error("no property " + property);
        columns_.push_back(column);
        next = column + 1;
    }
}

std::vector<double> ModelOutput::read(std::string_view record)
{
    const std::vector<std::string_view> fields = fieldsOf(record);
    if (fields.size() != width_)
        throw std::runtime_error("a record of " + std::to_string(fields.size()) + " values where the labels name " +
                                 std::to_string(width_) + ": \"" + excerpt(record) + "\"");
    auto number = [&](size_t column) {
        const std::string_view field = fields[column];
        double value = 0;
        const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
        if (field.empty() || error != std::errc() || end != field.data() + field.size())
            throw std::runtime_error("value \"" + excerpt(field) + "\" is not a number, in \"" + excerpt(record) + "\"");
        return value;
    };
    time_ = number(0);
    std::vector<double> values;
    values.reserve(columns_.size());
    for (size_t column : columns_)
        values.push_back(number(column));
    return values;
}

}  // namespace devhost
