// Reading JSON resources and scene files with errors that name the file and
// the place: a JSON pointer for a bad value, line and column for bad syntax.
// Internal to the host.
#ifndef CAELO_HOST_SERVICES_JSON_READER_H
#define CAELO_HOST_SERVICES_JSON_READER_H

#include "host/services/displayText.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace caelo::host {

// The largest JSON file read, in bytes (256 MiB: some 3.5 million plain
// objects, which take about 3.5 GB once read).
inline constexpr std::size_t kMaxJsonFileBytes = 256 * kBytesPerMiB;

// The deepest nesting of arrays and objects a JSON text may have, and what
// that bound stands for, as refusals name it ("nested deeper than 4096
// levels, the most JSON text may nest"). A reader that knows how deep its
// texts nest (scene files) gives its own.
struct JsonNesting {
    int levels;
    std::string_view reason;
};
inline constexpr int kMaxJsonDepth = 4096;
inline constexpr JsonNesting kJsonNesting{kMaxJsonDepth, "the most JSON text may nest"};

// Parses JSON text. Throws HostError "<origin>: line L, column C: <reason>" for
// bad syntax or nesting deeper than `nesting` allows, and "<origin>: <reason>"
// for a number beyond the range of a double.
[[nodiscard]] nlohmann::json parseJsonText(std::string_view text, const std::string& origin,
                                           JsonNesting nesting = kJsonNesting);

// A parsed JSON file with the text it was parsed from, which JsonPlace quotes
// numbers from.
struct JsonDocument {
    std::string text;
    nlohmann::json value;
};

// Reads a regular file in pieces and parses it as parseJsonText does. The size
// (at most kMaxJsonFileBytes) and the nesting are checked as the pieces
// arrive, so a file that breaks either limit is refused without being read
// whole. Throws HostError naming the file (excerpted) and the reason: the
// system's for a file that cannot be opened or read, "is a folder", "not a
// regular file" for a device or pipe, or the limit broken.
[[nodiscard]] JsonDocument readJsonDocument(const std::string& file, JsonNesting nesting = kJsonNesting);
// The same, without the text.
[[nodiscard]] nlohmann::json readJsonFile(const std::string& file);

// Reads a regular file of at most kMaxJsonFileBytes whole, in pieces. Throws
// HostError as readJsonFile does.
[[nodiscard]] std::string readTextFile(const std::string& file);

// A value inside a parsed document together with its place. Given the text
// the document was parsed from (`source`), refusals of numbers quote them as
// written there ("1e30", "9223372036854775808.0"); without it, as the parsed
// value prints.
class JsonPlace {
public:
    JsonPlace(const nlohmann::json& value, const std::string& origin, std::string pointer = {},
              std::string_view source = {});

    [[nodiscard]] const nlohmann::json& value() const { return *value_; }
    [[nodiscard]] const std::string& pointer() const { return pointer_; }

    // Throws HostError "<origin>: at <pointer>: <reason>".
    [[noreturn]] void fail(const std::string& reason) const;

    // A member that must exist (and the value must be an object).
    [[nodiscard]] JsonPlace at(std::string_view key) const;
    // A member that may be absent.
    [[nodiscard]] std::optional<JsonPlace> find(std::string_view key) const;
    // An element of an array.
    [[nodiscard]] JsonPlace at(std::size_t index) const;

    // Typed reads that fail with the place when the value has another type.
    void requireObject() const;
    void requireArray() const;
    [[nodiscard]] std::size_t size() const; // of an array or object
    [[nodiscard]] std::string text() const;
    [[nodiscard]] double number() const; // a finite number
    // Whole numbers written as digits, within 32 or 64 bits. A number beyond
    // them, a fraction or an exponent is refused as written ("the number
    // 9223372036854775808 does not fit in 64 bits", "expected a whole number
    // written as digits, not 1e30").
    [[nodiscard]] std::int32_t int32() const;
    [[nodiscard]] std::int64_t int64() const;
    [[nodiscard]] bool boolean() const;
    // The decimal 32-bit integer that a member key holds (e.g. "10000").
    [[nodiscard]] std::int32_t keyAsInt32(std::string_view key) const;

private:
    // The value as a whole number of at most `bits` bits (32 or 64) before
    // the range of those is checked.
    [[nodiscard]] std::int64_t wholeNumber(int bits) const;
    // The number as the source text writes it.
    [[nodiscard]] std::string numberText() const;

    const nlohmann::json* value_;
    const std::string* origin_;
    std::string pointer_;
    std::string_view source_;
};

// Escapes a key for a JSON pointer ("~" as "~0", "/" as "~1").
[[nodiscard]] std::string pointerToken(std::string_view key);

} // namespace caelo::host

#endif
