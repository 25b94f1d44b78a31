#include "host/services/displayText.h"

#include <cstdio>

namespace caelo::host {

namespace {

constexpr std::string_view kEllipsis = "...";

// One character of UTF-8 text: its code point and its length in bytes; a
// byte that starts no well-formed character is a character of its own with
// no code point.
struct Utf8Character {
    char32_t codePoint = 0;
    std::size_t bytes = 1;
    bool wellFormed = false;
};

bool isContinuation(unsigned char byte, unsigned char low = 0x80, unsigned char high = 0xBF) {
    return byte >= low && byte <= high;
}

// Decodes the character at the start of `text` (which is not empty), as
// Table 3-7 of the Unicode Standard bounds well-formed sequences.
Utf8Character firstCharacter(std::string_view text) {
    const auto byteAt = [&text](std::size_t i) {
        return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
    };
    const unsigned char lead = byteAt(0);
    if (lead < 0x80) {
        return {lead, 1, true};
    }
    std::size_t length = 0;
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
    char32_t codePoint = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        secondLow = lead == 0xE0 ? 0xA0 : 0x80;
        secondHigh = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        secondLow = lead == 0xF0 ? 0x90 : 0x80;
        secondHigh = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return {};
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char byte = byteAt(i);
        if (!(i == 1 ? isContinuation(byte, secondLow, secondHigh) : isContinuation(byte))) {
            return {};
        }
        codePoint = (codePoint << 6) | (byte & 0x3F);
    }
    return {codePoint, length, true};
}

// Marks that reorder or break the text around them on a terminal.
bool isLayoutMark(char32_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x2028 && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

std::string hexEscape(const char* format, unsigned value) {
    char escape[16];
    std::snprintf(escape, sizeof escape, format, value);
    return escape;
}

void appendEscaped(std::string_view character, const Utf8Character& decoded, std::string& out) {
    const char32_t c = decoded.codePoint;
    if (!decoded.wellFormed) {
        out += hexEscape("\\x%02x", static_cast<unsigned char>(character.front()));
    } else if (c == '\t') {
        out += "\\t";
    } else if (c == '\n') {
        out += "\\n";
    } else if (c == '\r') {
        out += "\\r";
    } else if (c < 0x20 || c == 0x7F) {
        out += hexEscape("\\x%02x", static_cast<unsigned>(c));
    } else if ((c >= 0x80 && c <= 0x9F) || isLayoutMark(c)) {
        out += hexEscape("\\u{%04x}", static_cast<unsigned>(c));
    } else {
        out += character;
    }
}

// The escaped text of at most `characters` characters of `text`, and
// whether any were left out.
std::string escapedPrefix(std::string_view text, std::size_t characters, bool& cut) {
    std::string out;
    out.reserve(text.size());
    std::size_t taken = 0;
    while (!text.empty() && taken < characters) {
        const Utf8Character decoded = firstCharacter(text);
        appendEscaped(text.substr(0, decoded.bytes), decoded, out);
        text.remove_prefix(decoded.bytes);
        ++taken;
    }
    cut = !text.empty();
    return out;
}

} // namespace

std::string escapedText(std::string_view text) {
    bool cut = false;
    return escapedPrefix(text, text.size(), cut);
}

std::string excerpt(std::string_view text) {
    bool cut = false;
    std::string shown = escapedPrefix(text, kExcerptCharacters, cut);
    if (cut) {
        shown += kEllipsis;
    }
    return shown;
}

std::string quotedExcerpt(std::string_view text) {
    return "'" + excerpt(text) + "'";
}

std::string byteCountText(std::size_t bytes) {
    std::string text = std::to_string(bytes) + " bytes";
    if (bytes % kBytesPerMiB == 0) {
        text += " (" + std::to_string(bytes / kBytesPerMiB) + " MiB)";
    } else if (bytes % kBytesPerKiB == 0) {
        text += " (" + std::to_string(bytes / kBytesPerKiB) + " KiB)";
    }
    return text;
}

} // namespace caelo::host
