#include "jsonReader.h"

#include "hostError.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

namespace caelo::host {

namespace {

// The reason of a parse error without the library's prefix and position.
std::string parseReason(const nlohmann::json::parse_error& error) {
    const std::string what = error.what();
    const std::size_t colon = what.find(": ", what.find("column"));
    return colon == std::string::npos ? what : what.substr(colon + 2);
}

// "[json.exception.out_of_range.406] number overflow ..." without the part in
// brackets.
std::string withoutLibraryPrefix(const std::string& what) {
    const std::size_t end = what.find("] ");
    return what.starts_with("[json.exception") && end != std::string::npos ? what.substr(end + 2) : what;
}

} // namespace

nlohmann::json parseJsonText(std::string_view text, const std::string& origin) {
    try {
        return nlohmann::json::parse(text.begin(), text.end());
    } catch (const nlohmann::json::parse_error& error) {
        // error.byte is 1-based: the character at which parsing stopped.
        const std::size_t end = std::min<std::size_t>(error.byte > 0 ? error.byte - 1 : 0, text.size());
        std::size_t line = 1;
        std::size_t column = 1;
        for (std::size_t i = 0; i < end; ++i) {
            if (text[i] == '\n') {
                ++line;
                column = 1;
            } else {
                ++column;
            }
        }
        throw HostError(origin + ": line " + std::to_string(line) + ", column " + std::to_string(column) +
                        ": " + parseReason(error));
    } catch (const nlohmann::json::exception& error) {
        // The parser reports a number beyond the range of a double ("1e400")
        // as out of range, without a place.
        throw HostError(origin + ": " + withoutLibraryPrefix(error.what()));
    }
}

std::string readTextFile(const std::string& file) {
    // A device, pipe or folder would be read without end (/dev/zero), block
    // (a pipe nobody writes to) or read as empty text.
    std::error_code error;
    if (std::filesystem::exists(file, error) && !std::filesystem::is_regular_file(file, error)) {
        throw HostError(file + ": not a regular file");
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw HostError(file + ": cannot open the file for reading");
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        throw HostError(file + ": cannot read the file");
    }
    return std::move(content).str();
}

std::string pointerToken(std::string_view key) {
    std::string token;
    for (const char c : key) {
        if (c == '~') {
            token += "~0";
        } else if (c == '/') {
            token += "~1";
        } else {
            token += c;
        }
    }
    return token;
}

JsonPlace::JsonPlace(const nlohmann::json& value, const std::string& origin, std::string pointer)
    : value_(&value), origin_(&origin), pointer_(std::move(pointer)) {}

void JsonPlace::fail(const std::string& reason) const {
    throw HostError(*origin_ + ": at " + (pointer_.empty() ? std::string("/") : pointer_) + ": " + reason);
}

void JsonPlace::requireObject() const {
    if (!value_->is_object()) {
        fail("expected an object");
    }
}

void JsonPlace::requireArray() const {
    if (!value_->is_array()) {
        fail("expected an array");
    }
}

JsonPlace JsonPlace::at(std::string_view key) const {
    std::optional<JsonPlace> member = find(key);
    if (!member) {
        fail("missing member \"" + std::string(key) + "\"");
    }
    return *member;
}

std::optional<JsonPlace> JsonPlace::find(std::string_view key) const {
    requireObject();
    const auto it = value_->find(key);
    if (it == value_->end()) {
        return std::nullopt;
    }
    return JsonPlace(*it, *origin_, pointer_ + "/" + pointerToken(key));
}

JsonPlace JsonPlace::at(std::size_t index) const {
    requireArray();
    if (index >= value_->size()) {
        fail("index " + std::to_string(index) + " out of range");
    }
    return JsonPlace((*value_)[index], *origin_, pointer_ + "/" + std::to_string(index));
}

std::size_t JsonPlace::size() const {
    if (!value_->is_array() && !value_->is_object()) {
        fail("expected an array or an object");
    }
    return value_->size();
}

std::string JsonPlace::text() const {
    if (!value_->is_string()) {
        fail("expected a text");
    }
    return value_->get<std::string>();
}

double JsonPlace::number() const {
    if (!value_->is_number()) {
        fail("expected a number");
    }
    const double d = value_->get<double>();
    if (!std::isfinite(d)) {
        fail("expected a finite number");
    }
    return d;
}

std::int64_t JsonPlace::int64() const {
    if (value_->is_number_integer()) {
        return value_->get<std::int64_t>();
    }
    if (value_->is_number_unsigned() &&
        value_->get<std::uint64_t>() <= std::numeric_limits<std::int64_t>::max()) {
        return static_cast<std::int64_t>(value_->get<std::uint64_t>());
    }
    fail("expected a whole number");
}

std::int32_t JsonPlace::int32() const {
    const std::int64_t v = int64();
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) {
        fail("the number " + std::to_string(v) + " does not fit in 32 bits");
    }
    return static_cast<std::int32_t>(v);
}

bool JsonPlace::boolean() const {
    if (!value_->is_boolean()) {
        fail("expected true or false");
    }
    return value_->get<bool>();
}

std::int32_t JsonPlace::keyAsInt32(std::string_view key) const {
    std::int32_t id = 0;
    const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), id);
    if (error != std::errc{} || end != key.data() + key.size() || key.empty()) {
        JsonPlace(*value_, *origin_, pointer_ + "/" + pointerToken(key))
            .fail("the key \"" + std::string(key) + "\" is not a decimal 32-bit number");
    }
    return id;
}

} // namespace caelo::host
