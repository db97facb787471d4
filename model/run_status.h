#pragma once
// The working row's runStatus values (stored as floats in the record).

inline constexpr float kRunValid = 1.0f;
inline constexpr float kRunDead = 0.0f;   // the tidal inspiration needed more than -3 kPa
inline constexpr float kRunError = -1.0f; // numerical failure, full curve, or no manoeuvre
