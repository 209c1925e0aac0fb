#include "map/FillColorGenerator.h"

#include <cmath>
#include <cstdint>

float FillColorGenerator::nextUniform()
{
    // The 24 high bits fill a float's mantissa exactly: the result is a
    // multiple of 2^-24 below 1, never rounded up to 1.
    const std::uint32_t bits = m_engine() >> 8;
    return float(bits) * 0x1p-24f;
}

QRgb FillColorGenerator::nextColor()
{
    // The product is taken in double, where it is exact, so that a draw just
    // below k/255 can never round up to channel k.
    const auto channel = [this] { return int(std::floor(double(nextUniform()) * 255.0)); };
    const int red = channel();
    const int green = channel();
    const int blue = channel();
    return qRgb(red, green, blue);
}
