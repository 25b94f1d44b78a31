// A CSV table built into the program (embeddedDataFiles.h), read by its
// columns' names: lines starting with # are comments, the first other line
// names the columns, each further line is a row. Fields are separated by
// commas; a field in double quotes may hold commas, and "" in it stands for
// one quote.
#ifndef CAELO_OUTPUTS_APPEARANCE_DATA_TABLE_H
#define CAELO_OUTPUTS_APPEARANCE_DATA_TABLE_H

#include <string>
#include <string_view>
#include <vector>

namespace caelo::appearance {

class DataTable {
public:
    // The table of the built-in file of that name ("maps.csv").
    explicit DataTable(std::string_view fileName);

    [[nodiscard]] std::size_t rowCount() const { return rows_.size(); }

    // A field of a row by its column's name; throws std::logic_error naming
    // the file when there is no such column.
    [[nodiscard]] const std::string& field(std::size_t row, std::string_view column) const;
    // The same as a finite number, or as a whole number; throws naming the
    // file and the text otherwise.
    [[nodiscard]] double number(std::size_t row, std::string_view column) const;
    [[nodiscard]] int whole(std::size_t row, std::string_view column) const;

private:
    std::string fileName_;
    std::vector<std::string> header_;
    std::vector<std::vector<std::string>> rows_;
};

} // namespace caelo::appearance

#endif
