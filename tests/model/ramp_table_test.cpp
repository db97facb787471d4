// The lists of ramped parameters that initialisation, the ramps and their settling go by.

#include "model/model_initialisation.h"
#include "model/model_step.h"
#include "model/ramp_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace vm::model;

namespace {

// Where a member lies in RampedParameters, counted in parameters.
std::size_t slotOf(const RampedParameters& parameters, const RampedParameter& member) {
    const auto offset =
        reinterpret_cast<std::uintptr_t>(&member) - reinterpret_cast<std::uintptr_t>(&parameters);
    return offset / sizeof(RampedParameter);
}

// A parameter left out of every list would never ramp; one in two lists would ramp twice.
TEST(RampTable, EveryRampedParameterIsInExactlyOneGroup) {
    RampedParameters parameters;
    std::vector<int> listed(kRampedParameterCount, 0);
    for (const RampGroupList& group : rampGroups) {
        EXPECT_FALSE(group.entries.empty());
        for (const RampedEntry& entry : group.entries)
            for (const RampedParameter& member : entry.members(parameters)) {
                const std::size_t slot = slotOf(parameters, member);
                ASSERT_LT(slot, kRampedParameterCount);
                ++listed[slot];
            }
    }
    for (std::size_t slot = 0; slot < kRampedParameterCount; ++slot)
        EXPECT_EQ(listed[slot], 1) << "parameter " << slot;
}

// With one group moving, its parameters and the drive reach their new targets in one step;
// every other parameter stays where it was.
TEST(RampTable, OnlyTheMovingGroupAndTheDriveTakeTheirTargets) {
    for (RampGroup moving : {RampGroup::airways, RampGroup::chestTissue, RampGroup::geometry}) {
        SCOPED_TRACE(static_cast<int>(moving));
        ModelState m;
        setReferenceState(m);
        m.progress.ramp = {.airways = moving == RampGroup::airways,
                           .chestTissue = moving == RampGroup::chestTissue,
                           .geometry = moving == RampGroup::geometry,
                           .active = true};
        const ModelState before = m;
        for (const RampGroupList& group : rampGroups)
            for (const RampedEntry& entry : group.entries)
                for (RampedParameter& member : entry.members(m.parameters))
                    member.target = member.current * 1.01 + 0.001;
        ModelStep(m, IntegrationState::substeps4);
        ASSERT_EQ(m.state.solverFailed, 0);

        RampedParameters start = before.parameters;
        for (const RampGroupList& group : rampGroups) {
            const bool moves = group.group == moving || group.group == RampGroup::drive;
            for (const RampedEntry& entry : group.entries) {
                const auto now = entry.members(m.parameters);
                const auto was = entry.members(start);
                for (std::size_t k = 0; k < now.size(); ++k)
                    EXPECT_EQ(now[k].current, moves ? now[k].target : was[k].current)
                        << "group " << static_cast<int>(group.group) << ", parameter "
                        << slotOf(m.parameters, now[k]);
            }
        }
    }
}

} // namespace
