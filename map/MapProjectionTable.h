#pragma once

// Written by tools/make_map.py together with resources/map.bmp: the affine
// maps the picture was drawn with. Run the tool again rather than edit it.
// A position (longitude, latitude) in degrees is first
// (x, y) = (longitude * lonScale, latitude), then the map point
// (a x + b y + c, d x + e y + f) of the inset its département is drawn in;
// the pixel (u, v) stands for the point (u, v).

namespace mapProjectionTable {

struct Affine
{
    double a, b, c, d, e, f;
};

// One line per map, as the tool writes it.
// clang-format off
inline constexpr double lonScale = 0.688354576;
inline constexpr Affine mainland{22.682745424, -0.135592753, 114.127707588, -0.038996906, -21.999438223, 1157.169003274};
inline constexpr Affine paris{146.465217049, -0.875538725, -156.100525629, -0.251807715, -142.053020217, 6979.925333986};
inline constexpr Affine corsica{22.682745424, -0.135592753, 84.473, -0.038996906, -21.999438223, 1172.201};

// The département numbers of the map's table drawn in each inset; every
// other number from 1 to 95 is drawn on the mainland.
inline constexpr int parisDepartements[] = {75, 92, 93, 94};
inline constexpr int corsicaDepartements[] = {20};
// clang-format on

} // namespace mapProjectionTable
