#pragma once
// The ramped parameters, one list per group, each with its "do not ramp" mark and the value
// initialisation gives it. Initialisation, the ramp before and within the substeps and the
// settling after them all go by these lists, so a parameter ramps wholly or not at all.

#include "model/model_state.h"

#include <array>
#include <cstddef>
#include <span>
#include <type_traits>

namespace vm::model {

// The drive moves in every step; the other groups while the run's ramping has them moving.
enum class RampGroup { drive, airways, chestTissue, geometry };
inline constexpr int kRampGroupCount = 4;

// How initialisation sets a parameter: to its reference value, per lobe times or divided by
// the lobe's share, or not at all (it keeps what the last run set).
enum class ReferenceScaling { none, timesLobeFraction, perLobeFraction, kept };

struct RampedEntry {
    std::span<RampedParameter> (*members)(RampedParameters&); // one, both sides or five lobes
    double mark;
    double reference;
    ReferenceScaling scaling;
};

namespace ramp_entry {

template <auto member> std::span<RampedParameter> membersOf(RampedParameters& p) {
    auto& m = p.*member;
    if constexpr (std::is_same_v<std::remove_cvref_t<decltype(m)>, RampedParameter>)
        return {&m, 1};
    else
        return m;
}

template <auto member>
constexpr RampedEntry of(double mark, double reference,
                         ReferenceScaling scaling = ReferenceScaling::none) {
    return {&membersOf<member>, mark, reference, scaling};
}

using P = RampedParameters;
using ramp_mark::kUnreachableMark;
using ramp_mark::kZeroMark;
using enum ReferenceScaling;
using namespace reference;

inline constexpr RampedEntry drive[] = {
    of<&P::mouthPressure>(kUnreachableMark, 0.0),
    of<&P::musclePressure>(kUnreachableMark, 0.0),
};

inline constexpr RampedEntry airways[] = {
    of<&P::tracheaInertance>(kZeroMark, kTracheaInertance),
    of<&P::tracheaLaminarResistance>(kUnreachableMark, kTracheaLaminarResistance),
    of<&P::tracheaTurbulentCoefficient>(kUnreachableMark, kTracheaTurbulentCoefficient),
    of<&P::bronchusInertance>(kZeroMark, kBronchusInertance),
    of<&P::bronchusCoefficient>(kUnreachableMark, kBronchusCoefficient),
    of<&P::centralReferenceVolume>(kUnreachableMark, kCentralReferenceVolume_l),
    of<&P::centralCompliance>(kUnreachableMark, kCentralCompliance),
};

inline constexpr RampedEntry chestTissue[] = {
    of<&P::chestWallResistance>(kZeroMark, kChestWallResistance),
    of<&P::chestWallMinVolume>(kZeroMark, kChestWallMinVolume_l),
    of<&P::chestWallScale>(kZeroMark, kChestWallScale),
    of<&P::chestWallConstant>(kZeroMark, kChestWallConstant),
    of<&P::atmosphericPressure>(kZeroMark, kAtmosphericPressure_kPa),
    of<&P::pleuralOffset>(kUnreachableMark, 0.0, kept),
    of<&P::tissueResistance>(kZeroMark, kTissueResistance, perLobeFraction),
};

inline constexpr RampedEntry geometry[] = {
    of<&P::lobeMaxVolume>(kZeroMark, kLobeMaxVolume_l, timesLobeFraction),
    of<&P::lobeElasticScale>(kZeroMark, kLobeElasticScale),
    of<&P::peripheralConductance>(kZeroMark, kPeripheralConductance),
    of<&P::lobeMinVolume>(kZeroMark, kLobeMinVolume_l, timesLobeFraction),
    of<&P::intermediateResistance>(kZeroMark, kIntermediateResistance, perLobeFraction),
    of<&P::wallStiffness>(kZeroMark, kWallStiffness_kPa),
};

} // namespace ramp_entry

struct RampGroupList {
    RampGroup group;
    std::span<const RampedEntry> entries;
};

inline constexpr std::array<RampGroupList, kRampGroupCount> rampGroups{{
    {RampGroup::drive, ramp_entry::drive},
    {RampGroup::airways, ramp_entry::airways},
    {RampGroup::chestTissue, ramp_entry::chestTissue},
    {RampGroup::geometry, ramp_entry::geometry},
}};

// RampedParameters holds nothing else, so its size counts them.
inline constexpr std::size_t kRampedParameterCount =
    sizeof(RampedParameters) / sizeof(RampedParameter);
static_assert(sizeof(RampedParameters) % sizeof(RampedParameter) == 0);

// The value initialisation gives member k of an entry (lobe k where it scales by lobe).
double referenceValue(const RampedEntry& entry, std::size_t k);

// Sets current value and target of every ramped parameter but the kept ones to its reference.
void setReferenceParameters(RampedParameters& parameters);

} // namespace vm::model
