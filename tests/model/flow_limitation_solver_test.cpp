// The flow-limitation solver: the junction pressure at which the peripheral and the collapsible
// intermediate airway carry the same flow.

#include "model/flow_limitation_solver.h"

#include "model/lobe_physics.h"
#include "model/model_initialisation.h"
#include "model/simd/batch_math.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

using namespace vm::model;

namespace {

struct Lobe {
    double alveolarPressure, peripheralResistance, intermediateResistance, wallStiffness,
        pleuralOffset;
};

// Flows and resistances marked so that writes show.
ModelState modelWithLobes(const Lobe (&lobes)[5]) {
    ModelState m;
    setReferenceState(m);
    for (int k = 0; k < 5; ++k) {
        m.state.alveolarPressure[k] = lobes[k].alveolarPressure;
        m.state.peripheralResistance[k] = lobes[k].peripheralResistance;
        m.parameters.intermediateResistance[k].setBoth(lobes[k].intermediateResistance);
        m.parameters.wallStiffness[k].setBoth(lobes[k].wallStiffness);
        m.parameters.pleuralOffset[k].setBoth(lobes[k].pleuralOffset);
        m.state.lobeFlow[k] = 7.0;
        m.state.flowLimited[k] = 9;
        m.state.intermediateEffResistance[k] = 5.0;
    }
    return m;
}

// Every lobe alike unless changed.
ModelState modelWithLobes(const Lobe& lobe) {
    return modelWithLobes({lobe, lobe, lobe, lobe, lobe});
}

// u·(y − atan y), y = (P − h)/u: the integral of the intermediate airway's conductance shape
// y²/(1 + y²) from the collapse pressure h up to P.
double openIntegral(double P, double h, double u) {
    const double y = (P - h) / u;
    return u * (y - std::atan(y));
}

// Flow out through the peripheral airway minus flow on through the intermediate airway, at
// the junction pressure the solver's flow implies: zero within the solver's tolerance. A
// collapsed airway ends at the collapse pressure, whatever lies downstream.
double flowMismatch(const Lobe& lobe, double x, double downstream, double Q) {
    const double z = lobe.alveolarPressure + Q * lobe.peripheralResistance;
    const double h = x + lobe.pleuralOffset;
    downstream = std::max(downstream, h);
    const double peripheral = (lobe.alveolarPressure - z) / lobe.peripheralResistance;
    const double intermediate =
        (openIntegral(z, h, lobe.wallStiffness) - openIntegral(downstream, h, lobe.wallStiffness)) /
        lobe.intermediateResistance;
    return peripheral - intermediate;
}

TEST(FlowLimitationSolver, FlowsMatchInBothAirwaysAndPointTheRightWay) {
    struct Case {
        const char* name;
        double alveolarPressure, x, pc;
        int limited;
        double flowSign;
    };
    const Case cases[] = {
        {"expiration, open", 1.5, 0.0, 0.3, 0, -1},
        {"inspiration, open", -0.5, 0.0, 0.3, 0, +1},
        {"expiration, collapsed", 1.5, 0.0, -0.5, 1, -1},
        {"expiration, collapsed, negative pleural", 0.8, -1.0, -0.2, 1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Lobe lobe{c.alveolarPressure, 0.2, 0.3, 0.4, -0.1};
        ModelState m = modelWithLobes(lobe);
        LobeValues probe{};
        ASSERT_EQ(solveLobeFlows(m, c.x, c.pc, c.pc, SolverMode::commit, probe),
                  SolverOutcome::solved);
        for (int k = 0; k < 5; ++k) {
            EXPECT_EQ(m.state.flowLimited[k], c.limited);
            EXPECT_GT(m.state.lobeFlow[k] * c.flowSign, 0.01);
            EXPECT_LE(std::fabs(flowMismatch(lobe, c.x, c.x + c.pc, m.state.lobeFlow[k])), 1.01e-4);
        }
        EXPECT_EQ(m.state.solverFailed, 0);
    }
}

// Once the airway has collapsed, pulling harder downstream gets no more flow.
TEST(FlowLimitationSolver, LimitedFlowDoesNotDependOnTheDownstreamPressure) {
    const Lobe lobe{1.5, 0.2, 0.3, 0.4, -0.1};
    double flows[2];
    const double downstream[2] = {-0.5, -2.5};
    for (int i = 0; i < 2; ++i) {
        ModelState m = modelWithLobes(lobe);
        LobeValues probe{};
        solveLobeFlows(m, 0.0, downstream[i], downstream[i], SolverMode::commit, probe);
        EXPECT_EQ(m.state.flowLimited[0], 1);
        flows[i] = m.state.lobeFlow[0];
    }
    EXPECT_EQ(flows[0], flows[1]);
}

TEST(FlowLimitationSolver, DownstreamExactlyAtTheCollapsePressureIsLimited) {
    const Lobe lobe{1.5, 0.2, 0.3, 0.4, -0.1};
    ModelState m = modelWithLobes(lobe);
    LobeValues probe{};
    // f = x + Pc and h = x + pleuralOffset are the same sum.
    solveLobeFlows(m, 0.3, -0.1, -0.1, SolverMode::commit, probe);
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(m.state.flowLimited[k], 1);
}

TEST(FlowLimitationSolver, ProbeLeavesTheModelFlowsAlone) {
    const Lobe lobe{1.5, 0.2, 0.3, 0.4, -0.1};
    ModelState m = modelWithLobes(lobe);
    LobeValues probe{};
    solveLobeFlows(m, 0.0, 0.3, 0.3, SolverMode::probe, probe);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(m.state.lobeFlow[k], 7.0);
        EXPECT_EQ(m.state.intermediateEffResistance[k], 5.0);
        EXPECT_EQ(m.state.flowLimited[k], 0);
        EXPECT_LT(probe[k], -0.01);
    }
}

// A collapsed lobe whose residual has the same sign at both ends cannot be bracketed: the call
// fails at that lobe, quietly, and the lobes after it are not touched.
TEST(FlowLimitationSolver, UnbracketedLobeFailsWithoutBeepAndStopsTheCall) {
    const Lobe lobe{1.5, 0.2, 0.3, 0.4, -0.1};
    ModelState m = modelWithLobes(lobe);
    m.state.peripheralResistance[1] = -1.0; // both ends of lobe 2's residual negative
    LobeValues probe{};
    const SolverOutcome outcome = solveLobeFlows(m, 0.0, -0.5, -0.5, SolverMode::commit, probe);
    EXPECT_EQ(outcome, SolverOutcome::unbracketed);
    EXPECT_FALSE(solverFailureBeeps(outcome));
    EXPECT_TRUE(solverFailureBeeps(SolverOutcome::iterationCap));
    EXPECT_EQ(m.state.solverFailed, 1);
    EXPECT_NE(m.state.lobeFlow[0], 7.0); // lobe 1 was solved
    for (int k = 2; k < 5; ++k) {
        EXPECT_EQ(m.state.lobeFlow[k], 7.0);
        EXPECT_EQ(m.state.flowLimited[k], 9);
    }
}

// The iteration count is shared by the lobes of one call: a collapsed lobe fails once the count
// passes 10000, so lobes that each converge alone can exhaust it together. The slow lobe's
// parameters were found by a search for a collapsed lobe needing a few thousand iterations.
TEST(FlowLimitationSolver, CollapsedLobesShareOneIterationBudget) {
    const Lobe slow{-1.5491898464901197, 0.31461738724973143, 1.1699586064575553e-06,
                    0.05491175370276561, 0.78434012712800738};
    const double x = -1.5557875072066796;
    const double pc = -1.5171271843392742;
    const auto modelWithSlowLobes = [&](int count) {
        ModelState m = modelWithLobes({0.0, 1.0, 1.0, 1.0, slow.pleuralOffset});
        for (int k = 0; k < count; ++k) {
            m.state.alveolarPressure[k] = slow.alveolarPressure;
            m.state.peripheralResistance[k] = slow.peripheralResistance;
            m.parameters.intermediateResistance[k].setBoth(slow.intermediateResistance);
            m.parameters.wallStiffness[k].setBoth(slow.wallStiffness);
        }
        return m;
    };
    LobeValues probe{};

    ModelState alone = modelWithSlowLobes(1);
    ASSERT_EQ(solveLobeFlows(alone, x, pc, pc, SolverMode::commit, probe), SolverOutcome::solved);
    EXPECT_EQ(alone.state.flowLimited[0], 1);
    // More than a third of the budget: three such lobes cannot all be solved.
    EXPECT_GT(alone.work.solverIterationTotal, 10000 / 3 + 10);
    EXPECT_LE(alone.work.solverIterationTotal, 5000);

    ModelState three = modelWithSlowLobes(3);
    const SolverOutcome outcome = solveLobeFlows(three, x, pc, pc, SolverMode::commit, probe);
    EXPECT_EQ(outcome, SolverOutcome::iterationCap);
    EXPECT_TRUE(solverFailureBeeps(outcome));
    EXPECT_EQ(three.state.solverFailed, 1);
    EXPECT_EQ(three.state.lobeFlow[0],
              alone.state.lobeFlow[0]); // lobes 1 and 2 are solved as alone
    EXPECT_EQ(three.state.lobeFlow[1], alone.state.lobeFlow[0]);
    EXPECT_EQ(three.state.flowLimited[2], 1); // lobe 3 was started, then failed
    EXPECT_EQ(three.state.lobeFlow[2], 7.0);
    for (int k = 3; k < 5; ++k)
        EXPECT_EQ(three.state.flowLimited[k], 9); // never reached
}

// The effective resistance is only worked out from flows above 0.001 l/s in magnitude. The
// intermediate resistance sets the flow: u·(1 − π/4)/R2 with the junction at the alveoli.
TEST(FlowLimitationSolver, SmallFlowsKeepTheEffectiveResistance) {
    struct Case {
        double intermediateResistance;
        bool updated;
    };
    const double flowPerConductance = 0.4 * (1 - std::atan(1.0)); // 0.0858
    const Case cases[] = {{flowPerConductance / 0.0013, true},
                          {flowPerConductance / 0.0007, false},
                          {flowPerConductance / 0.01, true}};
    for (const Case& c : cases) {
        // Collapsed with the alveolar pressure one stiffness above the collapse pressure.
        const Lobe lobe{0.3, 0.001, c.intermediateResistance, 0.4, -0.1};
        ModelState m = modelWithLobes(lobe);
        LobeValues probe{};
        solveLobeFlows(m, 0.0, -0.5, -0.5, SolverMode::commit, probe);
        const double Q = m.state.lobeFlow[0];
        EXPECT_EQ(std::fabs(Q) > 0.001, c.updated) << Q;
        if (c.updated)
            EXPECT_DOUBLE_EQ(m.state.intermediateEffResistance[0], (-0.5 - 0.3) / Q - 0.001);
        else
            EXPECT_EQ(m.state.intermediateEffResistance[0], 5.0);
    }
}

// The commit and probe calls solved side by side do what the two calls do one after the other,
// bit for bit; and the portable arm finds what the processor's best arm finds, to the last bits
// of the arctangent.
TEST(FlowLimitationSolver, SideBySideCallsAndBothArmsAgreeWithSingleCalls) {
    struct Case {
        const char* name;
        double x, probeX, pcLeft, pcRight;
    };
    const Case cases[] = {
        {"all open", -0.6, -0.55, 0.3, 0.4},
        {"left open, right collapsed", 0.2, 0.25, 0.3, -0.4},
        {"f = h", 0.0, 0.05, 0.05, -0.1},
        {"inspiration", -1.2, -1.15, 0.1, 0.2},
    };
    const Lobe lobes[] = {{1.5, 0.2, 0.3, 0.4, -0.1},
                          {0.9, 0.5, 0.2, 0.7, 0.05},
                          {1.2, 0.15, 0.6, 0.3, -0.1},
                          {-0.3, 0.3, 0.25, 0.5, 0.0},
                          {2.1, 0.4, 0.35, 0.9, 0.1}};
    const ModelState start = modelWithLobes(lobes);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ModelState apart = start;
        LobeValues probeApart{};
        solveLobeFlows(apart, c.x, c.pcLeft, c.pcRight, SolverMode::commit, probeApart);
        solveLobeFlows(apart, c.probeX, c.pcLeft, c.pcRight, SolverMode::probe, probeApart);
        ModelState together[2] = {start, start};
        LobeValues probeTogether[2]{};
        for (int arm = 0; arm < 2; ++arm) {
            usePortableMathOnly(arm == 1);
            ASSERT_EQ(solveLobeFlowsWithProbe(together[arm], collectLobeAirways(start), c.x,
                                              c.probeX, c.pcLeft, c.pcRight, probeTogether[arm]),
                      SolverOutcome::solved);
        }
        usePortableMathOnly(false);
        EXPECT_EQ(together[0].work.solverIterationTotal, apart.work.solverIterationTotal);
        EXPECT_EQ(together[1].work.solverIterationTotal, apart.work.solverIterationTotal);
        for (int k = 0; k < 5; ++k) {
            EXPECT_EQ(together[0].state.lobeFlow[k], apart.state.lobeFlow[k]) << k;
            EXPECT_EQ(probeTogether[0][k], probeApart[k]) << k;
            EXPECT_EQ(together[0].state.flowLimited[k], apart.state.flowLimited[k]) << k;
            EXPECT_EQ(together[1].state.flowLimited[k], apart.state.flowLimited[k]) << k;
            EXPECT_EQ(together[0].state.intermediateEffResistance[k],
                      apart.state.intermediateEffResistance[k])
                << k;
            EXPECT_NEAR(together[1].state.lobeFlow[k], apart.state.lobeFlow[k], 1e-12) << k;
            EXPECT_NEAR(probeTogether[1][k], probeApart[k], 1e-12) << k;
        }
    }
}

// The batched calls, alone and side by side, on either arm, against the lobes searched plainly in
// turn: outcomes, collapsed flags and iteration counts alike. The fitted arctangent moves a
// residual by at most ΔF = 1.1e-13·π/2·u/R2, a root by ΔF/|F′| with |F′| ≥ 1/R1 + (1/R2)·y²/(1 +
// y²), and so a flow (z − m)/R1 by at most ΔF/(1 + (R1/R2)·y²/(1 + y²)): below 6e-13 l/s for
// every lobe here, u/R2 being at most 3.5 where R1/R2 is not large. An effective resistance
// (f − m)/Q − R1 moves by (its value + R1)·ΔQ/Q.
TEST(FlowLimitationSolver, BatchedCallsDoWhatTheLobesSearchedInTurnDo) {
    const Lobe a{1.5, 0.2, 0.3, 0.4, -0.1}, b{0.9, 0.5, 0.2, 0.7, 0.05},
        c{1.2, 0.15, 0.6, 0.3, -0.1}, d{-0.3, 0.3, 0.25, 0.5, 0.0}, e{2.1, 0.4, 0.35, 0.9, 0.1};
    const Lobe emptied{1.2, peripheralResistanceAt(500, 0.072, 0.072), 0.6, 0.3, -0.1};
    // As in CollapsedLobesShareOneIterationBudget.
    const Lobe slow{-1.5491898464901197, 0.31461738724973143, 1.1699586064575553e-06,
                    0.05491175370276561, 0.78434012712800738};
    const Lobe other{0.0, 1.0, 1.0, 1.0, slow.pleuralOffset};
    const Lobe stuck{1.5, -1.0, 0.3, 0.4, -0.1}; // collapsed, unbracketed
    using Trial = std::array<double, 4>;         // x, probe x, pcLeft, pcRight
    const Trial mixed{0.2, 0.25, 0.3, -0.4}, collapsed{0.0, 0.05, -0.5, -0.5},
        slowTrial{-1.5557875072066796, -1.5, -1.5171271843392742, -1.5171271843392742};
    const struct {
        const char* name;
        Trial trial;
        Lobe lobes[5];
    } calls[] = {
        {"open and collapsed", mixed, {a, b, c, d, e}},
        {"f = h", {0.0, 0.05, 0.05, -0.1}, {a, b, c, d, e}},
        {"minimal volume", mixed, {a, b, emptied, d, e}},
        {"past the shared cap", slowTrial, {slow, slow, slow, other, other}},
        {"unbracketed", collapsed, {a, stuck, c, d, e}},
        {"a root at m", collapsed, {a, {-0.09, -1.0, 0.3, 0.4, -0.1}, c, d, e}},
        {"a root at h, then unbracketed", collapsed, {a, b, {0.9, -1e5, 0.3, 0.4, -0.1}, stuck, e}},
        {"no conductance", mixed, {a, b, c, {1.0, INFINITY, INFINITY, 0.5, 0.0}, e}},
        {"NaN", {0.2, 0.25, 0.3, 0.4}, {a, b, c, d, {std::nan(""), 0.4, 0.35, 0.9, 0.1}}},
    };
    const auto expectAlike = [](const ModelState& batched, const LobeValues& batchedProbe,
                                const ModelState& plain, const LobeValues& plainProbe) {
        EXPECT_EQ(batched.state.solverFailed, plain.state.solverFailed);
        EXPECT_EQ(batched.work.solverIterationTotal, plain.work.solverIterationTotal);
        for (int k = 0; k < 5; ++k) {
            const IntegratedState &p = plain.state, &q = batched.state;
            const double R = p.intermediateEffResistance[k], R1 = p.peripheralResistance[k];
            EXPECT_EQ(q.flowLimited[k], p.flowLimited[k]) << k;
            EXPECT_NEAR(q.lobeFlow[k], p.lobeFlow[k], 1e-12) << k;
            EXPECT_NEAR(batchedProbe[k], plainProbe[k], 1e-12) << k;
            EXPECT_NEAR(q.intermediateEffResistance[k], R,
                        std::fabs(R + R1) * 2e-12 / std::fabs(p.lobeFlow[k]))
                << k;
        }
    };
    for (int arm = 0; arm < 2; ++arm) {
        usePortableMathOnly(arm == 1);
        for (const auto& call : calls) {
            SCOPED_TRACE(::testing::Message() << call.name << " on arm " << arm);
            const auto [x, probeX, pcLeft, pcRight] = call.trial;
            const ModelState start = modelWithLobes(call.lobes);
            const LobeAirways airways = collectLobeAirways(start);
            ModelState batched = start, plain = start;
            LobeValues batchedProbe{}, plainProbe{};
            EXPECT_EQ(solveLobeFlows(batched, airways, x, pcLeft, pcRight, SolverMode::commit,
                                     batchedProbe),
                      solveLobesInTurn(plain, airways, x, pcLeft, pcRight, SolverMode::commit,
                                       plainProbe));
            expectAlike(batched, batchedProbe, plain, plainProbe);
            batched = plain = start;
            SolverOutcome outcome = solveLobesInTurn(plain, airways, x, pcLeft, pcRight,
                                                     SolverMode::commit, plainProbe);
            if (!plain.state.solverFailed)
                outcome = solveLobesInTurn(plain, airways, probeX, pcLeft, pcRight,
                                           SolverMode::probe, plainProbe);
            EXPECT_EQ(
                solveLobeFlowsWithProbe(batched, airways, x, probeX, pcLeft, pcRight, batchedProbe),
                outcome);
            expectAlike(batched, batchedProbe, plain, plainProbe);
        }
    }
    usePortableMathOnly(false);
}

} // namespace
