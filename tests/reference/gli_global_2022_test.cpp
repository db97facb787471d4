// The equations against values worked out by hand from the published formulas and the table's
// rows, and the limits of age and height where they apply.

#include "reference/gli_global_2022.h"

#include <gtest/gtest.h>

#include "../model/standard_indices.h"

#include <cmath>

using namespace vm::reference;

namespace {

const GliSplineTable& shippedTable() {
    static GliSplineTable table;
    static const auto loaded =
        loadGliSplineTable(std::filesystem::path(VM_RUNTIME_DIR) / kGliSplineFile, table);
    EXPECT_TRUE(loaded.ok) << loaded.message;
    return table;
}

struct Case {
    Sex sex;
    double age, height;
    ReferenceIndex index;
    double measured, predicted, lln, uln, z, percent;
};

// M, S and L from the coefficients and the spline terms; LLN/ULN = M (1 -+ 1.645 L S)^(1/L).
const Case kCases[] = {
    // The standard result for the default patient, on a tabulated age.
    {Sex::female, 40, 165, ReferenceIndex::fev1, standard_indices::fev1, 2.965205913, 2.24372886,
     3.650554455, -0.289826233, 95.813740878},
    {Sex::female, 40, 165, ReferenceIndex::fvc, standard_indices::fvcex, 3.575536319, 2.726187494,
     4.445943239, -0.294024503, 95.7076003},
    {Sex::female, 40, 165, ReferenceIndex::fev1Fvc, standard_indices::fev1PctFvc / 100, 0.828129833,
     0.718913571, 0.914394146, 0.036151093, 100.252823603},
    // 25.1 y lies 0.4 of the way from the row at 25 y (Mspline 0.147244378, Sspline -0.052816226)
    // to the row at 25.25 y (0.146194214, -0.052654818).
    {Sex::male, 25.1, 180, ReferenceIndex::fev1, 4.0, 4.479461537, 3.504153726, 5.408368783,
     -0.820103586, 89.296447055},
    {Sex::female, 62.6, 158, ReferenceIndex::fev1Fvc, 0.68, 0.800303049, 0.676602683, 0.899868415,
     -1.605419545, 84.967813183},
    // The ends of the ranges.
    {Sex::female, 3, 100, ReferenceIndex::fvc, 1.0, 0.853029092, 0.647813218, 1.063400596,
     1.153026835, 117.229296087},
    {Sex::male, 95, 250, ReferenceIndex::fvc, 7.0, 8.838964574, 6.428934215, 11.293273548,
     -1.252031939, 79.194796416},
};

TEST(GliGlobal2022, ValuesWorkedOutFromTheFormulas) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.age << " y, " << c.height << " cm, " << c.measured);
        const Outcome<IndexReading> reading =
            readIndex(shippedTable(), {c.sex, c.age, c.height}, c.index, c.measured);
        ASSERT_TRUE(reading.ok()) << reading.message;
        const IndexReading& r = *reading.value;
        EXPECT_NEAR(r.reference.predicted, c.predicted, 1e-8 * c.predicted);
        EXPECT_NEAR(r.reference.lln, c.lln, 1e-8 * c.lln);
        EXPECT_NEAR(r.reference.uln, c.uln, 1e-8 * c.uln);
        EXPECT_NEAR(r.zScore, c.z, 1e-7);
        EXPECT_NEAR(r.percentPredicted, c.percent, 1e-6);
    }
}

TEST(GliGlobal2022, RefusesWhereTheEquationsDoNotApply) {
    const struct {
        Patient patient;
        const char* named;
    } outside[] = {
        {{Sex::female, 2.99, 100}, "age 2.99"},     {{Sex::male, 95.01, 170}, "age 95.01"},
        {{Sex::male, NAN, 170}, "age nan"},         {{Sex::female, 40, 99.9}, "height 99.9"},
        {{Sex::female, 40, 250.1}, "height 250.1"}, {{Sex::male, 40, INFINITY}, "height inf"},
    };
    for (const auto& o : outside) {
        const Outcome<ReferenceValues> values =
            referenceValues(shippedTable(), o.patient, ReferenceIndex::fvc);
        EXPECT_FALSE(values.ok()) << o.named;
        EXPECT_NE(values.message.find(o.named), std::string::npos) << values.message;
    }
    const Lms lms = referenceValues(shippedTable(), Patient{}, ReferenceIndex::fev1).value->lms;
    for (double measured : {0.0, -1.0, std::nan("")})
        EXPECT_FALSE(zScore(lms, measured, ReferenceIndex::fev1).ok()) << measured;
}

} // namespace
