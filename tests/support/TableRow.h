#pragma once

#include <ostream>
#include <string>

#include <gtest/gtest.h>

// A row of a parameterised test table. Its name names the row in test output and in CTest
// (GoogleTest prints a row through operator<<, found through this base).
struct TableRow {
    const char *name;
};

inline std::ostream &operator<<(std::ostream &out, const TableRow &row)
{
    return out << row.name;
}

// Names the instantiated tests after their rows, for INSTANTIATE_TEST_SUITE_P.
struct RowName {
    template<class Row> std::string operator()(const ::testing::TestParamInfo<Row> &info) const
    {
        return info.param.name;
    }
};
