// The engine's CSV text read back into typed columns, for tables that keep every digit: counters
// as unsigned integers, numbers as doubles (NaN where empty), flags as booleans, names as text.
// Empty cells are marked missing. No Python here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pytables {

enum class ColumnType { Unsigned, Number, Flag, Text };

struct Column {
    std::string_view name;
    ColumnType type;
    std::vector<std::uint64_t> unsignedValues;
    std::vector<double> numbers;
    std::vector<std::uint8_t> flags;
    std::vector<std::string_view> texts; // views into the CSV text
    std::vector<std::uint8_t> missing;   // 1 where the cell is empty
};

// The 16 columns in CSV order. A cell that does not read as its column's type counts as
// missing; the engine writes none.
std::vector<Column> readColumns(std::string_view csv);

} // namespace pytables
