#pragma once
// Value noise: random heights on a square lattice, eased between, in
// integers. The clouds, grain, veins and ripples of the scenes.
#include "fixed_math.h"

#include <cstdint>

namespace photo {

// A well-mixed 32-bit hash of a lattice point.
std::uint32_t hash(int x, int y, std::uint32_t seed);

// Noise in 0..ONE at (x, y), with lattice points `cell` units apart. Scale
// x or y before the call to stretch the noise along the other.
int value_noise(int x, int y, int cell, std::uint32_t seed);

// `octaves` layers of noise, each at half the cell and half the weight of
// the one before, in 0..ONE: soft detail at every scale.
int fractal_noise(int x, int y, int cell, int octaves, std::uint32_t seed);

// Noise (0..ONE) moved to centre on zero and scaled to ±amplitude / 2:
// a wavy edge or a small shift.
constexpr int wobble(int noise, int amplitude) { return (noise - ONE / 2) * amplitude / ONE; }

}  // namespace photo
