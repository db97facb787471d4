#include "flow_limitation_solver.h"

#include <cmath>

namespace {

// One regula-falsi root search on the bracket (za, Fa), (zc, Fc), starting from (z, Fz).
// iterations is shared by the lobes of one call.
template <typename Residual>
SolverOutcome RegulaFalsi(const Residual& F, double za, double Fa, double zc, double Fc, double& z,
                          double& Fz, int& iterations, int cap) {
    while (std::fabs(Fz) > kSolverTolerance) {
        if (++iterations > cap) return SolverOutcome::iterationCap;
        if (Fz * Fc >= 0) {
            zc = z;
            Fc = Fz;
        } else {
            za = z;
            Fa = Fz;
        }
        const double slope = Fc - Fa;
        if (slope == 0.0) return SolverOutcome::arithmeticFault;
        z = zc - (zc - za) * Fc / slope;
        Fz = F(z);
    }
    if (!std::isfinite(z) || !std::isfinite(Fz)) return SolverOutcome::arithmeticFault;
    return SolverOutcome::solved;
}

} // namespace

LobeAirways CollectLobeAirways(const ModelState& model) {
    LobeAirways airways;
    for (int k = 0; k < kLobeCount; ++k) {
        LobeAirway& a = airways[k];
        a.alveolarPressure = model.alveolarPressure[k];
        a.peripheralResistance = model.peripheralResistance[k];
        a.o = 1.0 / a.peripheralResistance;
        a.r = 1.0 / model.intermediateResistance[k].current;
        a.t = a.o + a.r;
        a.u = model.wallStiffness[k].current;
        a.v = a.r * a.u;
        a.A = a.u * a.u;
        a.pleuralOffset = model.pleuralOffset[k].current;
    }
    return airways;
}

SolverOutcome SolveLobeFlows(ModelState& model, double x, double pcLeft, double pcRight,
                             SolverMode mode, LobeValues& probeFlows) {
    return SolveLobeFlows(model, CollectLobeAirways(model), x, pcLeft, pcRight, mode,
                          probeFlows);
}

SolverOutcome SolveLobeFlows(ModelState& model, const LobeAirways& airways, double x,
                             double pcLeft, double pcRight, SolverMode mode,
                             LobeValues& probeFlows) {
    int iterations = 0;
    SolverOutcome outcome = SolverOutcome::solved;
    for (int k = 0; k < kLobeCount; ++k) {
        const double f = x + (k < kLeftLobeCount ? pcLeft : pcRight);
        const LobeAirway& a = airways[k];
        const double h = x + a.pleuralOffset;
        const double m = a.alveolarPressure;
        const double R1 = a.peripheralResistance;
        const double o = a.o;
        const double r = a.r;
        const double t = a.t;
        const double u = a.u;
        const double v = a.v;
        double z;
        double Fz;
        if (f > h) {
            model.flowLimited[k] = 0;
            const double w = m * o + f * r;
            const double A = a.A;
            const double d = f - h;
            const auto F = [=](double zz) {
                return w - t * zz - v * std::atan((f - zz) * u / ((zz - h) * d + A));
            };
            double za = m;
            double Fa = F(m);
            const double zc = (m + f) / 2;
            const double Fc = F(zc);
            if (Fa * Fc > 0) {
                za = f;
                Fa = w - f * t;
            }
            if (Fc - Fa == 0.0) {
                outcome = SolverOutcome::arithmeticFault;
                break;
            }
            z = zc - (zc - za) * Fc / (Fc - Fa);
            Fz = F(z);
            outcome = RegulaFalsi(F, za, Fa, zc, Fc, z, Fz, iterations, kOpenIterationCap);
        } else {
            // Collapsed at the mouth-side end: the pressure around the airway replaces the
            // downstream pressure.
            model.flowLimited[k] = 1;
            const double w = m * o + h * r;
            const auto F = [=](double zz) { return w - t * zz - v * std::atan((h - zz) / u); };
            const double za = m;
            const double Fa = F(m);
            const double zc = h;
            const double Fc = w - h * t;
            if (Fa * Fc <= 0) {
                if (Fc - Fa == 0.0) {
                    outcome = SolverOutcome::arithmeticFault;
                    break;
                }
                z = h - (h - m) * Fc / (Fc - Fa);
                Fz = F(z);
            } else if (std::fabs(Fa) < kSolverTolerance) {
                z = m;
                Fz = Fa;
            } else if (std::fabs(Fc) < kSolverTolerance) {
                z = h;
                Fz = Fc;
            } else {
                outcome = SolverOutcome::unbracketed;
                break;
            }
            outcome = RegulaFalsi(F, za, Fa, zc, Fc, z, Fz, iterations, kLimitedIterationCap);
        }
        if (outcome != SolverOutcome::solved) break;

        const double Q = (z - m) * o;
        if (mode == SolverMode::commit) {
            model.lobeFlow[k] = Q;
            if (std::fabs(Q) > 0.001) model.intermediateEffResistance[k] = (f - m) / Q - R1;
        } else {
            probeFlows[k] = Q;
        }
    }
    model.solverIterationTotal += iterations;
    if (outcome != SolverOutcome::solved) model.solverFailed = 1;
    return outcome;
}
