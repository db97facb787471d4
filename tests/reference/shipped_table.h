#pragma once
// The spline table as the build lays it beside the program.

#include "reference/gli_spline_table.h"

#include <gtest/gtest.h>

inline const vm::reference::GliSplineTable& shippedTable() {
    static const vm::reference::GliSplineTable table = [] {
        vm::reference::GliSplineTable t;
        const auto loaded = vm::reference::loadGliSplineTable(
            std::filesystem::path(VM_RUNTIME_DIR) / vm::reference::kGliSplineFile, t);
        EXPECT_TRUE(loaded.ok) << loaded.message;
        return t;
    }();
    return table;
}
