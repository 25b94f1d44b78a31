#include "host/services/jsonReader.h"

#include "host/services/hostError.h"
#include "host/services/readableFile.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

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

// Follows the nesting of arrays and objects through JSON text given in
// pieces, refusing it at the bracket that goes deeper than the bound. The
// place is counted as parseJsonText counts it: lines from 1, columns in bytes
// from 1.
class NestingGauge {
public:
    NestingGauge(const std::string& origin, JsonNesting nesting) : origin_(origin), nesting_(nesting) {}

    void take(std::string_view piece) {
        for (const char c : piece) {
            step(c);
            if (c == '\n') {
                ++line_;
                column_ = 1;
            } else {
                ++column_;
            }
        }
    }

private:
    void step(char c) {
        if (inString_) {
            if (escaped_) {
                escaped_ = false;
            } else if (c == '\\') {
                escaped_ = true;
            } else if (c == '"') {
                inString_ = false;
            }
        } else if (c == '"') {
            inString_ = true;
        } else if (c == '[' || c == '{') {
            if (++depth_ > nesting_.levels) {
                throw HostError(origin_ + ": line " + std::to_string(line_) + ", column " +
                                std::to_string(column_) + ": nested deeper than " +
                                std::to_string(nesting_.levels) + " levels, " + std::string(nesting_.reason));
            }
        } else if ((c == ']' || c == '}') && depth_ > 0) {
            --depth_;
        }
    }

    const std::string& origin_;
    JsonNesting nesting_;
    int depth_ = 0;
    bool inString_ = false;
    bool escaped_ = false;
    std::size_t line_ = 1;
    std::size_t column_ = 1;
};

[[noreturn]] void refuseLarger(const ReadableFile& file) {
    throw HostError(file.name() + ": larger than " + byteCountText(kMaxJsonFileBytes) +
                    ", the most a file read may hold");
}

// Reads a regular file in pieces, handing each to `eachPiece` as it arrives,
// and refuses it once it passes kMaxJsonFileBytes: at once when its size says
// so, else (a file that grows, or whose size the system does not tell) at the
// piece that passes the limit.
std::string readBounded(ReadableFile& file, const std::function<void(std::string_view)>& eachPiece) {
    if (file.sizeBytes() > kMaxJsonFileBytes) {
        refuseLarger(file);
    }
    std::string content;
    char piece[kReadPieceBytes];
    while (const std::size_t count = file.readSome(piece, sizeof piece)) {
        if (count > kMaxJsonFileBytes - content.size()) {
            refuseLarger(file);
        }
        eachPiece(std::string_view(piece, count));
        content.append(piece, count);
    }
    return content;
}

nlohmann::json parseCheckedText(std::string_view text, const std::string& origin) {
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

// Reads JSON text again, event by event, for the text of the number at a
// JSON pointer: the parsed document keeps a number beyond 64 bits, or
// written with a fraction or an exponent, only as the nearest double.
class NumberTextFinder {
public:
    explicit NumberTextFinder(std::string_view pointer) : wanted_(pointer) {}

    [[nodiscard]] const std::optional<std::string>& found() const { return found_; }

    bool null() { return enter(); }
    bool boolean(bool) { return enter(); }
    bool number_integer(std::int64_t value) { return number(std::to_string(value)); }
    bool number_unsigned(std::uint64_t value) { return number(std::to_string(value)); }
    bool number_float(double, const std::string& text) { return number(text); }
    bool string(std::string&) { return enter(); }
    bool binary(nlohmann::json::binary_t&) { return enter(); }
    bool start_object(std::size_t) { return open(false); }
    bool start_array(std::size_t) { return open(true); }
    bool key(std::string& key) {
        here_.resize(containers_.back().start);
        here_ += "/" + pointerToken(key);
        return true;
    }
    bool end_object() { return close(); }
    bool end_array() { return close(); }
    bool parse_error(std::size_t, const std::string&, const nlohmann::json::exception&) { return false; }

private:
    struct Container {
        std::size_t start; // the length of the container's own pointer
        bool array;
        std::size_t next = 0; // the index of the next element of an array
    };

    // Places `here_` at the value that starts now; false once the number is
    // found, which ends the reading.
    bool enter() {
        if (!containers_.empty() && containers_.back().array) {
            Container& array = containers_.back();
            here_.resize(array.start);
            here_ += "/" + std::to_string(array.next++);
        }
        return !found_;
    }
    bool number(const std::string& text) {
        enter();
        if (here_ == wanted_) {
            found_ = text;
        }
        return !found_;
    }
    bool open(bool array) {
        enter();
        containers_.push_back({here_.size(), array});
        return true;
    }
    bool close() {
        here_.resize(containers_.back().start);
        containers_.pop_back();
        return true;
    }

    std::string_view wanted_;
    std::string here_;
    std::vector<Container> containers_;
    std::optional<std::string> found_;
};

// Whether a number's text is a whole number written as digits (the JSON
// library reads one beyond 64 bits as a double).
bool isWrittenAsDigits(std::string_view text) {
    return text.find_first_of(".eE") == std::string_view::npos;
}

} // namespace

nlohmann::json parseJsonText(std::string_view text, const std::string& origin, JsonNesting nesting) {
    NestingGauge(origin, nesting).take(text);
    return parseCheckedText(text, origin);
}

JsonDocument readJsonDocument(const std::string& file, JsonNesting nesting) {
    ReadableFile in = ReadableFile::openRegular(file, "the file");
    NestingGauge gauge(in.name(), nesting);
    JsonDocument document;
    document.text = readBounded(in, [&gauge](std::string_view piece) { gauge.take(piece); });
    document.value = parseCheckedText(document.text, in.name());
    return document;
}

nlohmann::json readJsonFile(const std::string& file) {
    return readJsonDocument(file).value;
}

std::string readTextFile(const std::string& file) {
    ReadableFile in = ReadableFile::openRegular(file, "the file");
    return readBounded(in, [](std::string_view) {});
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

JsonPlace::JsonPlace(const nlohmann::json& value, const std::string& origin, std::string pointer,
                     std::string_view source)
    : value_(&value), origin_(&origin), pointer_(std::move(pointer)), source_(source) {}

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
    return JsonPlace(*it, *origin_, pointer_ + "/" + pointerToken(key), source_);
}

JsonPlace JsonPlace::at(std::size_t index) const {
    requireArray();
    if (index >= value_->size()) {
        fail("index " + std::to_string(index) + " out of range");
    }
    return JsonPlace((*value_)[index], *origin_, pointer_ + "/" + std::to_string(index), source_);
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

std::string JsonPlace::numberText() const {
    if (!source_.empty()) {
        NumberTextFinder finder(pointer_);
        nlohmann::json::sax_parse(source_.begin(), source_.end(), &finder);
        if (finder.found()) {
            return *finder.found();
        }
    }
    return value_->dump();
}

std::int64_t JsonPlace::wholeNumber(int bits) const {
    const std::string beyond = " does not fit in " + std::to_string(bits) + " bits";
    // The library holds a whole number above 2^63 - 1 as unsigned, which
    // prints back as written.
    if (value_->is_number_unsigned()) {
        const auto u = value_->get<std::uint64_t>();
        if (u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            fail("the number " + std::to_string(u) + beyond);
        }
        return static_cast<std::int64_t>(u);
    }
    if (value_->is_number_integer()) {
        return value_->get<std::int64_t>();
    }
    if (value_->is_number_float()) {
        const std::string text = excerpt(numberText());
        fail(isWrittenAsDigits(text) ? "the number " + text + beyond
                                     : "expected a whole number written as digits, not " + text);
    }
    fail("expected a whole number");
}

std::int64_t JsonPlace::int64() const {
    return wholeNumber(64);
}

std::int32_t JsonPlace::int32() const {
    const std::int64_t v = wholeNumber(32);
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
