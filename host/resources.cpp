#include "host/resources.h"

#include "host/services/hostError.h"
#include "host/services/jsonReader.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>

namespace caelo::host {

namespace {

constexpr const char* kStringsFormat = "caelo-strings";
constexpr int kStringsVersion = 1;
// Icons are small: a larger file is not an icon.
constexpr std::size_t kMaxIconFileBytes = 4u << 20;

const std::string kEmptyText;

void readStrings(const std::filesystem::path& file, StringTable& strings) {
    const std::string origin = file.string();
    const nlohmann::json json = readJsonFile(origin);
    const JsonPlace top(json, origin);
    top.requireObject();
    if (top.at("format").text() != kStringsFormat) {
        top.at("format").fail(std::string("expected \"") + kStringsFormat + "\"");
    }
    if (top.at("version").int32() != kStringsVersion) {
        top.at("version").fail("unsupported version (this host reads version " +
                               std::to_string(kStringsVersion) + ")");
    }
    const JsonPlace table = top.at("strings");
    table.requireObject();
    for (const auto& [key, text] : table.value().items()) {
        strings.add(table.keyAsInt32(key), table.at(key).text());
    }
}

// ------------------------------------------------------------ TIFF reading

enum TiffTag : std::uint16_t {
    kImageWidth = 256,
    kImageLength = 257,
    kBitsPerSample = 258,
    kCompression = 259,
    kPhotometric = 262,
    kStripOffsets = 273,
    kSamplesPerPixel = 277,
    kRowsPerStrip = 278,
    kStripByteCounts = 279,
    kPlanarConfiguration = 284,
};

enum TiffFieldType : std::uint16_t { kTiffShort = 3, kTiffLong = 4 };

class TiffReader {
public:
    explicit TiffReader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    bool readHeader(std::uint32_t& firstDirectory) {
        if (bytes_.size() < 8) {
            return false;
        }
        if (bytes_[0] == 'I' && bytes_[1] == 'I') {
            littleEndian_ = true;
        } else if (bytes_[0] == 'M' && bytes_[1] == 'M') {
            littleEndian_ = false;
        } else {
            return false;
        }
        std::uint16_t magic = 0;
        return read16(2, magic) && magic == 42 && read32(4, firstDirectory);
    }

    bool read16(std::size_t at, std::uint16_t& out) const {
        if (at + 2 > bytes_.size()) {
            return false;
        }
        out = littleEndian_ ? static_cast<std::uint16_t>(bytes_[at] | bytes_[at + 1] << 8)
                            : static_cast<std::uint16_t>(bytes_[at] << 8 | bytes_[at + 1]);
        return true;
    }

    bool read32(std::size_t at, std::uint32_t& out) const {
        std::uint16_t a = 0;
        std::uint16_t b = 0;
        if (!read16(at, a) || !read16(at + 2, b)) {
            return false;
        }
        out = littleEndian_ ? (std::uint32_t{b} << 16 | a) : (std::uint32_t{a} << 16 | b);
        return true;
    }

    // The values of a SHORT or LONG field whose entry starts at `entry`.
    bool readValues(std::size_t entry, std::vector<std::uint32_t>& out) const {
        std::uint16_t type = 0;
        std::uint32_t count = 0;
        if (!read16(entry + 2, type) || !read32(entry + 4, count) || count == 0 || count > 65536) {
            return false;
        }
        const std::size_t size = type == kTiffShort ? 2 : (type == kTiffLong ? 4 : 0);
        if (size == 0) {
            return false;
        }
        std::size_t at = entry + 8;
        if (size * count > 4) {
            std::uint32_t offset = 0;
            if (!read32(entry + 8, offset)) {
                return false;
            }
            at = offset;
        }
        out.clear();
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint32_t value = 0;
            std::uint16_t shortValue = 0;
            if (size == 2 ? !read16(at + i * 2, shortValue) : !read32(at + i * 4, value)) {
                return false;
            }
            out.push_back(size == 2 ? shortValue : value);
        }
        return true;
    }

private:
    const std::vector<std::uint8_t>& bytes_;
    bool littleEndian_ = true;
};

struct TiffLayout {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t samples = 1;
    std::uint32_t rowsPerStrip = 0;
    std::uint32_t photometric = 2;
    std::vector<std::uint32_t> bits{8};
    std::vector<std::uint32_t> stripOffsets;
    std::vector<std::uint32_t> stripByteCounts;
    std::uint32_t compression = 1;
    std::uint32_t planar = 1;
};

std::optional<TiffLayout> readLayout(const TiffReader& reader, std::uint32_t directory) {
    std::uint16_t entries = 0;
    if (!reader.read16(directory, entries)) {
        return std::nullopt;
    }
    TiffLayout layout;
    std::vector<std::uint32_t> values;
    for (std::uint16_t i = 0; i < entries; ++i) {
        const std::size_t entry = directory + 2 + std::size_t{i} * 12;
        std::uint16_t tag = 0;
        if (!reader.read16(entry, tag)) {
            return std::nullopt;
        }
        const bool known = tag == kImageWidth || tag == kImageLength || tag == kBitsPerSample ||
                           tag == kCompression || tag == kPhotometric || tag == kStripOffsets ||
                           tag == kSamplesPerPixel || tag == kRowsPerStrip || tag == kStripByteCounts ||
                           tag == kPlanarConfiguration;
        if (!known) {
            continue;
        }
        if (!reader.readValues(entry, values)) {
            return std::nullopt;
        }
        switch (tag) {
        case kImageWidth:
            layout.width = values[0];
            break;
        case kImageLength:
            layout.height = values[0];
            break;
        case kBitsPerSample:
            layout.bits = values;
            break;
        case kCompression:
            layout.compression = values[0];
            break;
        case kPhotometric:
            layout.photometric = values[0];
            break;
        case kStripOffsets:
            layout.stripOffsets = values;
            break;
        case kSamplesPerPixel:
            layout.samples = values[0];
            break;
        case kRowsPerStrip:
            layout.rowsPerStrip = values[0];
            break;
        case kStripByteCounts:
            layout.stripByteCounts = values;
            break;
        case kPlanarConfiguration:
            layout.planar = values[0];
            break;
        default:
            break;
        }
    }
    return layout;
}

bool isSupported(const TiffLayout& t) {
    const auto side = static_cast<std::uint32_t>(kMaxIconSide);
    const bool eightBits = std::all_of(t.bits.begin(), t.bits.end(), [](std::uint32_t b) { return b == 8; });
    const bool samplesFit =
        (t.samples == 1 && t.photometric == 1) || ((t.samples == 3 || t.samples == 4) && t.photometric == 2);
    return t.width >= 1 && t.width <= side && t.height >= 1 && t.height <= side && t.compression == 1 &&
           t.planar == 1 && eightBits && samplesFit && !t.stripOffsets.empty() &&
           t.stripOffsets.size() == t.stripByteCounts.size();
}

} // namespace

// ---------------------------------------------------------------- strings

const std::string& StringTable::find(std::int32_t id) const {
    const auto it = strings_.find(id);
    return it == strings_.end() ? kEmptyText : it->second;
}

void StringTable::add(std::int32_t id, std::string text) {
    strings_.insert_or_assign(id, std::move(text));
}

void loadResourceFolder(const std::filesystem::path& folder, StringTable& strings,
                        DescriptionTable& descriptions) {
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        throw HostError(folder.string() + ": the resource folder does not exist");
    }
    StringTable newStrings;
    readStrings(folder / "strings.json", newStrings);
    std::vector<Description> newDescriptions;
    const std::filesystem::path descriptionFolder = folder / "description";
    if (std::filesystem::is_directory(descriptionFolder, error)) {
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(descriptionFolder)) {
            if (entry.path().extension() == ".json") {
                files.push_back(entry.path());
            }
        }
        std::sort(files.begin(), files.end());
        for (const std::filesystem::path& file : files) {
            Description d = parseDescription(readTextFile(file.string()), file.string());
            if (d.name != file.stem().string()) {
                throw HostError(file.string() + ": at /name: the name \"" + d.name +
                                "\" differs from the file name \"" + file.stem().string() + "\"");
            }
            newDescriptions.push_back(std::move(d));
        }
    }
    strings = std::move(newStrings);
    for (Description& d : newDescriptions) {
        descriptions.add(std::move(d));
    }
}

// ---------------------------------------------------------------- bitmaps

Bitmap::Bitmap(std::int32_t width, std::int32_t height, std::vector<std::uint8_t> rgba)
    : width_(width), height_(height), rgba_(std::move(rgba)) {}

void Bitmap::release() {
    if (--references_ == 0) {
        delete this;
    }
}

Bitmap* loadTiffIcon(const std::filesystem::path& file) {
    std::error_code error;
    const auto fileSize = std::filesystem::file_size(file, error);
    if (error || fileSize > kMaxIconFileBytes) {
        return nullptr;
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TiffReader reader(bytes);
    std::uint32_t directory = 0;
    if (!reader.readHeader(directory)) {
        return nullptr;
    }
    const std::optional<TiffLayout> layout = readLayout(reader, directory);
    if (!layout || !isSupported(*layout)) {
        return nullptr;
    }
    const TiffLayout& t = *layout;
    const std::uint32_t rowsPerStrip = t.rowsPerStrip == 0 ? t.height : std::min(t.rowsPerStrip, t.height);
    const std::size_t rowBytes = std::size_t{t.width} * t.samples;
    std::vector<std::uint8_t> rgba;
    rgba.reserve(std::size_t{t.width} * t.height * 4);
    std::uint32_t row = 0;
    for (std::size_t strip = 0; strip < t.stripOffsets.size() && row < t.height; ++strip) {
        const std::uint32_t rows = std::min(rowsPerStrip, t.height - row);
        const std::size_t stripBytes = rowBytes * rows;
        const std::size_t offset = t.stripOffsets[strip];
        if (t.stripByteCounts[strip] < stripBytes || offset > bytes.size() ||
            bytes.size() - offset < stripBytes) {
            return nullptr;
        }
        for (std::size_t i = 0; i < stripBytes; i += t.samples) {
            const std::uint8_t* p = &bytes[offset + i];
            const bool grey = t.samples == 1;
            rgba.push_back(p[0]);
            rgba.push_back(grey ? p[0] : p[1]);
            rgba.push_back(grey ? p[0] : p[2]);
            rgba.push_back(t.samples == 4 ? p[3] : 255);
        }
        row += rows;
    }
    if (row < t.height) {
        return nullptr;
    }
    return new Bitmap(static_cast<std::int32_t>(t.width), static_cast<std::int32_t>(t.height),
                      std::move(rgba));
}

} // namespace caelo::host
