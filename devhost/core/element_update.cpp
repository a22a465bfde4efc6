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

int stripLength(const BitmapCatalog* bitmaps, int32_t bitmap, bool vertical)
{
    if (!bitmaps)
        return 0;
    auto size = bitmaps->size(bitmap);
    return size ? (vertical ? size->y : size->x) : 0;
}

void updateNeedle(NeedleElement& needle, ElementSnapshot& shown, Sources sources)
{
    sources.refresh(needle.source, 0);
    shown.value = sources.shown(needle.update, needle.common, needle.source, 0);
    std::span<const CalibrationPoint> table;
    if (needle.table)
        table = {needle.table, needle.pointCount};
    std::optional<NeedleSweep>& sweep = sources.memory.sweep;
    if (!sweep || !sweep->describes(table, needle.common.position))
        sweep.emplace(table, needle.common.position);
    shown.angle = sweep->angle(shown.value);
}

void updateString(StringElement& string, Sources sources)
{
    for (size_t k = 0; k < std::size(string.sources); ++k)
        sources.refresh(string.sources[k], k);
    if (string.update)
        string.update(&string.common);
    // Whatever the callback did, the host reads no further than the buffer.
    if (string.text)
        string.text[string.characters] = '\0';
}

void updateSlider(SliderElement& slider, ElementSnapshot& shown, Sources sources)
{
    sources.refresh(slider.xSource, 0);
    sources.refresh(slider.ySource, 1);
    shown.xValue = sources.shown(slider.xUpdate, slider.common, slider.xSource, 0);
    shown.yValue = sources.shown(slider.yUpdate, slider.common, slider.ySource, 1);
    shown.xOffset = sliderOffset(shown.xValue, slider.xScale);
    shown.yOffset = sliderOffset(shown.yValue, slider.yScale);
}

void updateIcon(IconElement& icon, ElementSnapshot& shown, Sources sources)
{
    sources.refresh(icon.source, 0);
    shown.value = sources.shown(icon.update, icon.common, icon.source, 0);
    shown.frame = iconFrame(shown.value, icon.frames);
}

void updateMovingImage(MovingImageElement& image, ElementSnapshot& shown, Sources sources,
                       const BitmapCatalog* bitmaps)
{
    sources.refresh(image.xSource, 0);
    sources.refresh(image.ySource, 1);
    shown.xValue = sources.shown(image.xUpdate, image.common, image.xSource, 0);
    shown.yValue = sources.shown(image.yUpdate, image.common, image.ySource, 1);
    const int32_t strip = image.common.bitmap, window = image.common.bitmap + 1;
    shown.xOffset = movingImageOffset(shown.xValue, image.xMin, image.xMax, stripLength(bitmaps, strip, false),
                                      stripLength(bitmaps, window, false));
    shown.yOffset = movingImageOffset(shown.yValue, image.yMin, image.yMax, stripLength(bitmaps, strip, true),
                                      stripLength(bitmaps, window, true));
}

void updateSprite(SpriteElement& sprite, ElementSnapshot& shown, Sources sources)
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
}

}  // namespace

double sourceValue(const SourceVar& var, const VariableStore::Binding* binding)
{
    if (var.id == 0)
        return 0;
    bool integer = false;
    if (binding && binding->value && binding->id == var.id) {
        integer = binding->integer;
    } else {
        const VariableInfo* info = findVariable(var.id);
        integer = info && info->delivery == Delivery::Integer;
    }
    return integer ? var.value.integer : var.value.number;
}

void refreshSource(SourceVar& var, VariableStore& variables, VariableStore::Binding* binding)
{
    if (var.id == 0)
        return;
    var.previous = var.value;
    if (binding)
        variables.fill(var, *binding);
    else
        variables.fill(var);
}

void updateElement(GaugeElement& element, ElementSnapshot& shown, ElementMemory& memory, VariableStore& variables,
                   const BitmapCatalog* bitmaps)
{
    const Sources sources{.variables = variables, .memory = memory};
    switch (element.kind) {
    case StaticImage: break;
    case Needle: updateNeedle(reinterpret_cast<NeedleElement&>(element), shown, sources); break;
    case String: updateString(reinterpret_cast<StringElement&>(element), sources); break;
    case Slider: updateSlider(reinterpret_cast<SliderElement&>(element), shown, sources); break;
    case Icon: updateIcon(reinterpret_cast<IconElement&>(element), shown, sources); break;
    case MovingImage:
        updateMovingImage(reinterpret_cast<MovingImageElement&>(element), shown, sources, bitmaps);
        break;
    case Sprite: updateSprite(reinterpret_cast<SpriteElement&>(element), shown, sources); break;
    }
    shown.kind = element.kind;
    shown.bitmap = element.bitmap;
    shown.imageFlags = element.imageFlags;
    shown.hidden = (element.imageFlags & ImageHidden) != 0;
}

}  // namespace devhost
