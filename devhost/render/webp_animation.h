// An animated WebP written picture by picture as a flight is drawn. Each
// picture after the first is encoded only over the rectangle where it
// differs from the one before (a WebP frame covers one rectangle of the
// canvas), its unchanged pixels there left transparent for the canvas to
// show through; a picture equal to the one before lengthens that one. The
// pixels are kept exactly (lossless), every buffer is reused from one
// picture to the next, and frames are encoded on every core while the next
// pictures are drawn.
#pragma once

#include <filesystem>
#include <memory>

#include "devhost/render/animation.h"

namespace devhost {

// Shows each picture for `secondsEach`; one picture (or pictures all alike)
// make a still WebP.
std::unique_ptr<AnimationSink> openWebPAnimation(std::filesystem::path path, double secondsEach);

}  // namespace devhost
