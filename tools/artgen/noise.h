// Deterministic noise for the painted pictures: the same numbers on every run
// and every machine, so that regenerating the artwork reproduces its bytes.
#pragma once

namespace artgen {

// Uniform in [0, 1), from a lattice point and a seed.
double hashUnit(int x, int y, unsigned seed);
// Smoothly interpolated lattice noise in [0, 1).
double valueNoise(double x, double y, unsigned seed);
// Sum of octaves of valueNoise, normalised to [0, 1).
double fbm(double x, double y, int octaves, unsigned seed);

double smoothstep(double edge0, double edge1, double x);
double mix(double a, double b, double t);

} // namespace artgen
