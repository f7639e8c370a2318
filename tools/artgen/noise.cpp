#include "noise.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace artgen {

double hashUnit(int x, int y, unsigned seed)
{
    std::uint32_t h = std::uint32_t(seed) * 0x9E3779B9u;
    h ^= std::uint32_t(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= std::uint32_t(y) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return double(h) / 4294967296.0;
}

double valueNoise(double x, double y, unsigned seed)
{
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int ix = int(fx);
    const int iy = int(fy);
    const double tx = x - fx;
    const double ty = y - fy;
    const double sx = tx * tx * (3 - 2 * tx);
    const double sy = ty * ty * (3 - 2 * ty);
    const double a = hashUnit(ix, iy, seed);
    const double b = hashUnit(ix + 1, iy, seed);
    const double c = hashUnit(ix, iy + 1, seed);
    const double d = hashUnit(ix + 1, iy + 1, seed);
    return mix(mix(a, b, sx), mix(c, d, sx), sy);
}

double fbm(double x, double y, int octaves, unsigned seed)
{
    double sum = 0;
    double weight = 0;
    double amp = 1;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * valueNoise(x, y, seed + unsigned(i) * 101u);
        weight += amp;
        amp *= 0.5;
        x *= 2.03;
        y *= 2.03;
    }
    return sum / weight;
}

double smoothstep(double edge0, double edge1, double x)
{
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

double mix(double a, double b, double t)
{
    return a + (b - a) * t;
}

} // namespace artgen
