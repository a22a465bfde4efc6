#include "devhost/core/element_update.h"

#include <span>

#include "devhost/core/bitmap_catalog.h"
#include "devhost/core/geometry.h"

namespace devhost {

namespace {

static_assert(sizeof(StringElement::sources) / sizeof(SourceVar) <= ElementMemory::MaxSources);

// An element's sources, each read through its own binding (k: the
// source's place in the element record).
struct Sources {
    VariableStore& variables;
    ElementMemory& memory;

    void refresh(SourceVar& var, size_t k) { refreshSource(var, variables, &memory.sources[k]); }

    double shown(UpdateCallback update, GaugeElement& element, const SourceVar& var, size_t k) const
    {
        return update ? update(&element) : sourceValue(var, &memory.sources[k]);
    }
};

Point bitmapSize(const BitmapCatalog* bitmaps, int32_t bitmap)
{
    auto size = bitmaps ? bitmaps->size(bitmap) : std::nullopt;
    return size ? *size : Point{0, 0};
}

// What an element of any kind shows, read after its callbacks ran (they
// may hide it or change its bitmap).
void recordImage(const GaugeElement& element, ElementSnapshot& shown)
{
    shown.bitmap = element.bitmap;
    shown.imageFlags = element.imageFlags;
    shown.hidden = (element.imageFlags & ImageHidden) != 0;
}

// Each kind out of line: the dispatch stays a jump, and a static image (half
// the elements) pays for none of the others' registers.
[[gnu::noinline]] void updateNeedle(NeedleElement& needle, ElementSnapshot& shown, Sources sources)
{
    sources.refresh(needle.source, 0);
    shown.value = sources.shown(needle.update, needle.common, needle.source, 0);
    std::span<const CalibrationPoint> table;
    if (needle.table)
        table = {needle.table, needle.pointCount};
    std::optional<NeedleSweep>& sweep = sources.memory.sweep;
    if (!sweep || !sweep->isFor(table, needle.common.position))
        sweep.emplace(table, needle.common.position);
    shown.angle = sweep->angle(shown.value);
    recordImage(needle.common, shown);
}

[[gnu::noinline]] void updateString(StringElement& string, ElementSnapshot& shown, Sources sources)
{
    for (size_t k = 0; k < std::size(string.sources); ++k)
        sources.refresh(string.sources[k], k);
    if (string.update)
        string.update(&string.common);
    // Whatever the callback did, the host reads no further than the buffer.
    if (string.text)
        string.text[string.characters] = '\0';
    recordImage(string.common, shown);
}

[[gnu::noinline]] void updateSlider(SliderElement& slider, ElementSnapshot& shown, Sources sources)
{
    sources.refresh(slider.xSource, 0);
    sources.refresh(slider.ySource, 1);
    shown.xValue = sources.shown(slider.xUpdate, slider.common, slider.xSource, 0);
    shown.yValue = sources.shown(slider.yUpdate, slider.common, slider.ySource, 1);
    shown.xOffset = sliderOffset(shown.xValue, slider.xScale);
    shown.yOffset = sliderOffset(shown.yValue, slider.yScale);
    recordImage(slider.common, shown);
}

[[gnu::noinline]] void updateIcon(IconElement& icon, ElementSnapshot& shown, Sources sources)
{
    sources.refresh(icon.source, 0);
    shown.value = sources.shown(icon.update, icon.common, icon.source, 0);
    shown.frame = iconFrame(shown.value, icon.frames);
    recordImage(icon.common, shown);
}

[[gnu::noinline]] void updateMovingImage(MovingImageElement& image, ElementSnapshot& shown, Sources sources,
                       const BitmapCatalog* bitmaps)
{
    sources.refresh(image.xSource, 0);
    sources.refresh(image.ySource, 1);
    shown.xValue = sources.shown(image.xUpdate, image.common, image.xSource, 0);
    shown.yValue = sources.shown(image.yUpdate, image.common, image.ySource, 1);
    std::optional<ElementMemory::StripLengths>& lengths = sources.memory.strip;
    if (const int32_t strip = image.common.bitmap; !lengths || lengths->strip != strip)
        lengths = {.strip = strip, .stripSize = bitmapSize(bitmaps, strip), .windowSize = bitmapSize(bitmaps, strip + 1)};
    shown.xOffset = movingImageOffset(shown.xValue, image.xMin, image.xMax, lengths->stripSize.x, lengths->windowSize.x);
    shown.yOffset = movingImageOffset(shown.yValue, image.yMin, image.yMax, lengths->stripSize.y, lengths->windowSize.y);
    recordImage(image.common, shown);
}

[[gnu::noinline]] void updateSprite(SpriteElement& sprite, ElementSnapshot& shown, Sources sources)
{
    sources.refresh(sprite.xSource, 0);
    sources.refresh(sprite.ySource, 1);
    sources.refresh(sprite.rotationSource, 2);
    shown.xValue = sources.shown(sprite.xUpdate, sprite.common, sprite.xSource, 0);
    shown.yValue = sources.shown(sprite.yUpdate, sprite.common, sprite.ySource, 1);
    shown.rotationValue = sources.shown(sprite.rotationUpdate, sprite.common, sprite.rotationSource, 2);
    shown.xOffset = sliderOffset(shown.xValue, sprite.xScale);
    shown.yOffset = sliderOffset(shown.yValue, sprite.yScale);
    shown.rotation = spriteRotation(shown.rotationValue, sprite.rotationScale);
    recordImage(sprite.common, shown);
}

}  // namespace

void updateElement(GaugeElement& element, ElementSnapshot& shown, ElementMemory& memory, VariableStore& variables,
                   const BitmapCatalog* bitmaps)
{
    const Sources sources{.variables = variables, .memory = memory};
    // By the kind the record was copied as: the module may write another
    // into it, never make it longer.
    switch (shown.kind) {
    case Needle: return updateNeedle(reinterpret_cast<NeedleElement&>(element), shown, sources);
    case String: return updateString(reinterpret_cast<StringElement&>(element), shown, sources);
    case Slider: return updateSlider(reinterpret_cast<SliderElement&>(element), shown, sources);
    case Icon: return updateIcon(reinterpret_cast<IconElement&>(element), shown, sources);
    case MovingImage: return updateMovingImage(reinterpret_cast<MovingImageElement&>(element), shown, sources, bitmaps);
    case Sprite: return updateSprite(reinterpret_cast<SpriteElement&>(element), shown, sources);
    case StaticImage: return recordImage(element, shown);
    }
}

}  // namespace devhost
