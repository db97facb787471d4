#pragma once
// A provisional standard reference: one plausible healthy test in row 0, rows 1..4 zero.
// It stands in until the model records the real reference run.

#include "simulation_record.h"

SimulationRecord ProvisionalStandardRecord();
