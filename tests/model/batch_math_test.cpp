// The batched functions agree with the C library's on both arms, the processor's best and the
// portable one: tangent and cube root to a few ulp, the arctangent to 1.1e-13 relative, on values
// across the model's ranges and at the edges.

#include "model/simd/batch_math.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using namespace vm::model;

namespace {

// Units in the last place of b between a and b.
double ulpsApart(double a, double b) {
    if (a == b)
        return 0.0;
    return std::fabs(a - b) / (std::nextafter(std::fabs(b), INFINITY) - std::fabs(b));
}

TEST(BatchMath, EachFunctionWithinAFewUlpOfTheLibraryOnEitherArm) {
    const double big = std::numeric_limits<double>::max();
    const struct {
        const char* name;
        void (*batch)(std::span<double>);
        double (*library)(double);
        double relative; // the bound relative to the library's value, or 0 for 3.5 ulp
        std::vector<double> values;
    } functions[] = {
        {"atan",
         takeArctangents,
         [](double x) { return std::atan(x); },
         1.1e-13,
         {0.0, -0.0, 1e-300, 0.0625, -0.4, 0.97, 1.0, 1.03, 2.5, -40.0, 1e8, big, INFINITY}},
        {"tan",
         takeTangents,
         [](double x) { return std::tan(x); },
         0.0,
         {0.0, -0.0, 1e-300, 0.3, -0.9, 1.2, 1.5, -1.55, 1.5707, 3.0}},
        {"cbrt",
         takeCubeRoots,
         [](double x) { return std::cbrt(x); },
         0.0,
         {0.0, 1e-300, 0.0001, 0.05, 0.36, 1.0, 1.2, 6.2, -8.0, big}},
    };
    for (int arm = 0; arm < 2; ++arm) {
        usePortableMathOnly(arm == 1);
        for (const auto& f : functions) {
            std::vector<double> values = f.values;
            values.resize(static_cast<std::size_t>(mathBatchSize(static_cast<int>(values.size()))));
            f.batch(values);
            for (std::size_t i = 0; i < f.values.size(); ++i) {
                const double library = f.library(f.values[i]);
                if (f.relative > 0.0)
                    EXPECT_LE(std::fabs(values[i] - library), f.relative * std::fabs(library))
                        << f.name << '(' << f.values[i] << ") = " << values[i] << " on arm " << arm;
                else
                    EXPECT_LE(ulpsApart(values[i], library), 3.5)
                        << f.name << '(' << f.values[i] << ") = " << values[i] << " on arm " << arm;
            }
        }
        std::vector<double> nan(kMathBatch, std::nan(""));
        takeArctangents(nan);
        EXPECT_TRUE(std::isnan(nan[0]));
    }
    usePortableMathOnly(false);
}

// Across the whole range the lobes give them, the tangent (the recoil law's (V/Vmax − 0.17)·π/2)
// and the cube root (a lobe's open volume, above its minimal volume) on a fine grid, within 4 ulp;
// the searches' arctangent through all three of its reductions, within 1.1e-13 relative.
TEST(BatchMath, EachFunctionWithinItsBoundOverTheModelsRange) {
    const struct {
        const char* name;
        void (*batch)(std::span<double>);
        double (*library)(double);
        double from, to;
        double relative; // the bound relative to the library's value, or 0 for 4 ulp
    } ranges[] = {
        {"tan", takeTangents, [](double x) { return std::tan(x); }, -0.27, 1.5707, 0.0},
        {"cbrt", takeCubeRoots, [](double x) { return std::cbrt(x); }, 1e-4, 8.0, 0.0},
        {"atan", takeArctangents, [](double x) { return std::atan(x); }, 1e-6, 60.0, 1.1e-13},
    };
    constexpr int kPoints = 4096;
    for (int arm = 0; arm < 2; ++arm) {
        usePortableMathOnly(arm == 1);
        for (const auto& r : ranges) {
            std::vector<double> x(kPoints);
            for (int i = 0; i < kPoints; ++i)
                x[i] = r.from + (r.to - r.from) * std::pow(i / (kPoints - 1.0), 3.0);
            std::vector<double> values = x;
            r.batch(values);
            double worst = 0.0;
            for (int i = 0; i < kPoints; ++i) {
                const double library = r.library(x[i]);
                worst = std::max(worst, r.relative > 0.0
                                            ? std::fabs(values[i] - library) / std::fabs(library)
                                            : ulpsApart(values[i], library));
            }
            EXPECT_LE(worst, r.relative > 0.0 ? r.relative : 4.0) << r.name << " on arm " << arm;
        }
    }
    usePortableMathOnly(false);
}

// The lobes' plausibility: each bound as written and a NaN failing, for each lobe in turn (lobes
// 1-3 lie in both vectors, 0 and 4 in one each).
TEST(BatchMath, LobesPlausibleWithinTheirBoundsOnEitherArm) {
    enum Field { gas, volume, flow, drive, recoil, R1, R2 };
    const double nan = std::nan("");
    const struct {
        Field field;
        double value;
        bool plausible;
    } cases[] = {
        {gas, 2.0, true},        {gas, 2.000001, false},     {gas, nan, false},
        {volume, 6.0, true},     {volume, 6.000001, false},  {volume, 0.01, true},
        {volume, 0.0099, false}, {flow, -40.0, true},        {flow, 40.000001, false},
        {flow, nan, false},      {drive, 40.0, true},        {drive, -40.000001, false},
        {recoil, 10.0, true},    {recoil, 10.000001, false}, {recoil, 0.0099, false},
        {R1, 1e300, true},       {R1, INFINITY, false},      {R1, nan, false},
        {R2, -INFINITY, false},  {R2, nan, false},
    };
    for (int arm = 0; arm < 2; ++arm) {
        usePortableMathOnly(arm == 1);
        for (const auto& c : cases)
            for (int k = 0; k < kLobeCount; ++k) {
                // Seven columns of five lobes at plausible values; dt 0 leaves them as set.
                double columns[7][kLobeCount];
                const double plausible[7] = {0.5, 1.0, 1.0, 0.5, 1.0, 1.0, 1.0};
                for (int f = 0; f < 7; ++f)
                    std::fill_n(columns[f], kLobeCount, plausible[f]);
                columns[c.field][k] = c.value;
                const double conductance[kLobeCount] = {1, 1, 1, 1, 1};
                double rate[kLobeCount];
                const LobeAdvance lobes{columns[drive],
                                        conductance,
                                        columns[flow],
                                        columns[recoil],
                                        columns[R1],
                                        columns[R2],
                                        rate,
                                        columns[gas],
                                        columns[volume],
                                        0.0,
                                        0.0};
                EXPECT_EQ(advanceLobes(lobes), c.plausible)
                    << "field " << c.field << " = " << c.value << " in lobe " << k << " on arm "
                    << arm;
            }
    }
    usePortableMathOnly(false);
}

} // namespace
