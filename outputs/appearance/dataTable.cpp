#include "outputs/appearance/dataTable.h"

#include "outputs/appearance/embeddedDataFiles.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace caelo::appearance {

namespace {

std::vector<std::string> csvFields(std::string_view line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

} // namespace

DataTable::DataTable(std::string_view fileName) : fileName_(fileName) {
    std::string_view text = embeddedDataFile(fileName);
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (header_.empty()) {
            header_ = csvFields(line);
        } else {
            rows_.push_back(csvFields(line));
        }
    }
}

const std::string& DataTable::field(std::size_t row, std::string_view column) const {
    const auto found = std::find(header_.begin(), header_.end(), column);
    const auto index = static_cast<std::size_t>(found - header_.begin());
    if (found == header_.end() || index >= rows_.at(row).size()) {
        throw std::logic_error(fileName_ + " has no column " + std::string(column));
    }
    return rows_[row][index];
}

double DataTable::number(std::size_t row, std::string_view column) const {
    const std::string& text = field(row, column);
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value)) {
        throw std::logic_error(fileName_ + " holds \"" + text + "\" where a number belongs");
    }
    return value;
}

int DataTable::whole(std::size_t row, std::string_view column) const {
    const std::string& text = field(row, column);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) {
        throw std::logic_error(fileName_ + " holds \"" + text + "\" where a whole number belongs");
    }
    return value;
}

} // namespace caelo::appearance
