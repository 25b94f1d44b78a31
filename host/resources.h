// Module resources: the string table, the description resources and icons
// (formats in docs/resources.md).
#ifndef CAELO_HOST_RESOURCES_H
#define CAELO_HOST_RESOURCES_H

#include "host/description.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace caelo::host {

// Display strings by id.
class StringTable {
public:
    // The text of an id; the empty text when the table lacks it. The reference
    // stays valid until the table is replaced or cleared.
    [[nodiscard]] const std::string& find(std::int32_t id) const;
    void add(std::int32_t id, std::string text);
    void clear() { strings_.clear(); }
    [[nodiscard]] bool empty() const { return strings_.empty(); }

private:
    std::map<std::int32_t, std::string> strings_;
};

// Reads `<folder>/strings.json` and every `<folder>/description/*.json` into
// the tables. Everything is read before anything is stored, so a malformed
// file leaves the tables as they were. Throws HostError naming the file and
// the place (a JSON pointer, or line and column for bad syntax).
void loadResourceFolder(const std::filesystem::path& folder, StringTable& strings,
                        DescriptionTable& descriptions);

// A small image, reference counted: the host and each holder of an icon own
// one reference each.
class Bitmap {
public:
    Bitmap(std::int32_t width, std::int32_t height, std::vector<std::uint8_t> rgba);

    [[nodiscard]] std::int32_t width() const { return width_; }
    [[nodiscard]] std::int32_t height() const { return height_; }
    // Pixels row by row from the top, four bytes (red, green, blue, alpha) each.
    [[nodiscard]] const std::vector<std::uint8_t>& pixels() const { return rgba_; }

    void retain() { ++references_; }
    // Drops one reference; the last one deletes the bitmap.
    void release();
    [[nodiscard]] int references() const { return references_; }

private:
    ~Bitmap() = default;

    std::int32_t width_;
    std::int32_t height_;
    std::vector<std::uint8_t> rgba_;
    int references_ = 1;
};

// The largest icon side the host accepts, in pixels.
inline constexpr std::int32_t kMaxIconSide = 256;

// Reads an uncompressed baseline TIFF (either byte order; 8-bit grey, RGB or
// RGBA; strips) of at most kMaxIconSide pixels a side. Anything else, a
// truncated file or a missing file answers nullptr. The caller owns the one
// reference of the new bitmap.
[[nodiscard]] Bitmap* loadTiffIcon(const std::filesystem::path& file);

} // namespace caelo::host

#endif
