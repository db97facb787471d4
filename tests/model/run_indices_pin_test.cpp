// Regression pin: every index of a table of whole runs as this model computes them, so that a
// change to the model's arithmetic that moves a result beyond its last bits shows here. The
// values were recorded from the model as it stood before its solver was vectorised.

#include "model/forced_expiration_run.h"
#include "model/model_initialisation.h"
#include "record/vocabulary.h"
#include "standard_start.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

using namespace vm::record;
using namespace vm::model;

namespace {

constexpr int kGlobal = -1; // part of a case that sets a global item rather than a part setting

struct PinnedRun {
    const char* name;
    int part;   // LungPart, or kGlobal
    int column; // SettingColumn, or GlobalItem
    float percent;
    std::array<double, layout::kFirstIndexCount> indices; // fev1 .. modelVariant, stored order
};

const PinnedRun kPinnedRuns[] = {
    {"standard",
     LungPart::bothLungs,
     SettingColumn::rCentral,
     100.0f,
     {2.84107471, 3.42206001, 83.0223541, 8.58076286, 7.19045401, 3.50734091, 1.33165967,
      1.10770607, -0.862178206, 2.98445415, 5.2988081, 1, 2.66898894, 1}},
    {"obstructed",
     LungPart::bothLungs,
     SettingColumn::rIntermediate,
     300.0f,
     {2.15186095, 3.42869806, 62.7602921, 5.90917349, 3.18539739, 1.5262295, 0.565571845, 1.1148814,
      -0.963532746, 2.98519659, 5.29901314, 1, 5.66877174, 1}},
    {"small lungs",
     LungPart::bothLungs,
     SettingColumn::lungSize,
     70.0f,
     {2.11342287, 2.40667129, 87.8151855, 8.23816395, 7.01330709, 3.21154642, 1.14714563,
      0.778845072, -0.513726473, 2.09297609, 3.72080231, 1, 2.29701591, 1}},
    {"compliant",
     LungPart::bothLungs,
     SettingColumn::cm,
     150.0f,
     {2.64613485, 3.87031341, 68.3700409, 7.88970757, 5.12776709, 2.13893127, 0.700608969,
      1.28029704, -0.969451606, 3.16348982, 5.75350618, 1, 5.78976297, 1}},
    {"peripheral",
     LungPart::bothLungs,
     SettingColumn::rPeripheral,
     200.0f,
     {2.69657993, 3.42202282, 78.8007584, 8.3630352, 6.41997814, 2.97623229, 1.05672204, 1.10756373,
      -0.858891428, 2.98449397, 5.29895306, 1, 3.38393712, 1}},
    {"soft walls",
     LungPart::bothLungs,
     SettingColumn::stiffness,
     50.0f,
     {3.18289375, 3.42058039, 93.0512772, 8.9312849, 8.69494247, 4.96304703, 2.22413325, 1.10640693,
      -0.849457979, 2.98444819, 5.29862165, 1, 1.59501851, 1}},
    {"one lobe",
     LungPart::lobe2,
     SettingColumn::rIntermediate,
     400.0f,
     {2.61593366, 3.41730118, 76.5496902, 8.06313419, 5.83075285, 2.67788982, 0.9559111, 1.10806429,
      -0.881161809, 2.98789048, 5.29712725, 1, 3.65591741, 1}},
    {"shallow",
     kGlobal,
     GlobalItem::expirationDepth,
     60.0f,
     {2.83736682, 3.22485638, 87.9842911, 7.69560575, 7.1116538, 3.8158145, 1.60948026, 0.910512924,
      -0.853914261, 2.98445415, 5.29879761, 1, 1.99403715, 1}},
};

TEST(RunIndicesPin, EveryIndexWithinItsLastBits) {
    for (const PinnedRun& run : kPinnedRuns) {
        StandardStart start;
        SimulationRecord& record = start.record;
        ModelState& model = start.model;
        if (run.part == kGlobal)
            record.setGlobalSetting(workingRow, run.column, run.percent);
        else
            record.setPartSetting(workingRow, run.part, run.column, run.percent);
        RunForcedExpiration(model, record, {});
        for (int f = 0; f < layout::kFirstIndexCount; ++f) {
            const double pinned = run.indices[static_cast<std::size_t>(f)];
            EXPECT_NEAR(record.field(workingRow, static_cast<RowField>(f)), pinned,
                        1e-6 * std::fabs(pinned))
                << run.name << ' ' << indexOfField(static_cast<RowField>(f)).jsonKey;
        }
    }
}

} // namespace
