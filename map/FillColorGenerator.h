#pragma once

#include <QRgb>
#include <random>

// The fill colours. The generator starts from a fixed state, never from the
// clock, so every run of the program shows the same sequence of colours.
class FillColorGenerator
{
public:
    // One draw, uniform in [0, 1), single precision.
    float nextUniform();
    // Three draws: red, green, blue, each floor(r * 255), so never 255: a
    // fill can never look like a white département or the sea.
    QRgb nextColor();

private:
    std::mt19937 m_engine{20240607u};
};
