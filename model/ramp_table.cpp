#include "model/ramp_table.h"

namespace vm::model {

double referenceValue(const RampedEntry& entry, std::size_t k) {
    switch (entry.scaling) {
    case ReferenceScaling::timesLobeFraction:
        return entry.reference * lobeFraction[k];
    case ReferenceScaling::perLobeFraction:
        return entry.reference / lobeFraction[k];
    case ReferenceScaling::none:
    case ReferenceScaling::kept:
        break;
    }
    return entry.reference;
}

void setReferenceParameters(RampedParameters& parameters) {
    for (const RampGroupList& group : rampGroups)
        for (const RampedEntry& entry : group.entries) {
            if (entry.scaling == ReferenceScaling::kept)
                continue;
            const std::span<RampedParameter> members = entry.members(parameters);
            for (std::size_t k = 0; k < members.size(); ++k)
                members[k].setBoth(referenceValue(entry, k));
        }
}

} // namespace vm::model
