// A bitmap drawn turned (or scaled) over a picture, bilinearly, the way
// pixman does it for Cairo, for the needles and cards that move every frame.
// Pixman samples every pixel of the turned bitmap's bounding box and costs
// a microsecond or so for each drawing set up; a needle lying across its
// dial covers little of that box. This walks each row only where the inked
// part of the bitmap can land.
#pragma once

#include <cairo.h>

#include <cstdint>

#include "framework/gauge_model.h"

namespace devhost {

// The pixels of an image surface: premultiplied ARGB, or RGB24, whose alpha
// byte is not read and counts as opaque.
struct ImagePixels {
    unsigned char* data = nullptr;
    int width = 0, height = 0, stride = 0;
    bool opaque = false;
};
ImagePixels pixelsOf(cairo_surface_t* image);

// Draws source over target within clip (target pixels): each target pixel
// takes the bilinear sample of source at its centre mapped by
// targetToSource, outside source transparent, in pixman's arithmetic (7-bit
// weights, OVER rounded as its combiners round). Only texels within inked
// can colour anything.
void drawTurned(const ImagePixels& target, const Box& clip, const ImagePixels& source, const Box& inked,
                const cairo_matrix_t& targetToSource);

}  // namespace devhost
