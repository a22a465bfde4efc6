#include "devhost/core/element_update.h"

#include <span>

#include "devhost/core/bitmap_catalog.h"
#include "devhost/core/geometry.h"

namespace devhost {

namespace {

double shownValue(UpdateCallback update, GaugeElement& element, const SourceVar& source)
{
    return update ? update(&element) : sourceValue(source);
}

int stripLength(const BitmapCatalog* bitmaps, int32_t bitmap, bool vertical)
{
    if (!bitmaps)
        return 0;
    auto size = bitmaps->size(bitmap);
    return size ? (vertical ? size->y : size->x) : 0;
}

void updateNeedle(NeedleElement& needle, ElementSnapshot& shown, VariableStore& variables)
{
    refreshSource(needle.source, variables);
    shown.value = shownValue(needle.update, needle.common, needle.source);
    std::span<const CalibrationPoint> table;
    if (needle.table)
        table = {needle.table, needle.pointCount};
    shown.angle = needleAngle(table, needle.common.position, shown.value);
}

void updateString(StringElement& string, VariableStore& variables)
{
    for (SourceVar& source : string.sources)
        refreshSource(source, variables);
    if (string.update)
        string.update(&string.common);
    // Whatever the callback did, the host reads no further than the buffer.
    if (string.text)
        string.text[string.characters] = '\0';
}

void updateSlider(SliderElement& slider, ElementSnapshot& shown, VariableStore& variables)
{
    refreshSource(slider.xSource, variables);
    refreshSource(slider.ySource, variables);
    shown.xValue = shownValue(slider.xUpdate, slider.common, slider.xSource);
    shown.yValue = shownValue(slider.yUpdate, slider.common, slider.ySource);
    shown.xOffset = sliderOffset(shown.xValue, slider.xScale);
    shown.yOffset = sliderOffset(shown.yValue, slider.yScale);
}

void updateIcon(IconElement& icon, ElementSnapshot& shown, VariableStore& variables)
{
    refreshSource(icon.source, variables);
    shown.value = shownValue(icon.update, icon.common, icon.source);
    shown.frame = iconFrame(shown.value, icon.frames);
}

void updateMovingImage(MovingImageElement& image, ElementSnapshot& shown, VariableStore& variables,
                       const BitmapCatalog* bitmaps)
{
    refreshSource(image.xSource, variables);
    refreshSource(image.ySource, variables);
    shown.xValue = shownValue(image.xUpdate, image.common, image.xSource);
    shown.yValue = shownValue(image.yUpdate, image.common, image.ySource);
    const int32_t strip = image.common.bitmap, window = image.common.bitmap + 1;
    shown.xOffset = movingImageOffset(shown.xValue, image.xMin, image.xMax, stripLength(bitmaps, strip, false),
                                      stripLength(bitmaps, window, false));
    shown.yOffset = movingImageOffset(shown.yValue, image.yMin, image.yMax, stripLength(bitmaps, strip, true),
                                      stripLength(bitmaps, window, true));
}

void updateSprite(SpriteElement& sprite, ElementSnapshot& shown, VariableStore& variables)
{
    refreshSource(sprite.xSource, variables);
    refreshSource(sprite.ySource, variables);
    refreshSource(sprite.rotationSource, variables);
    shown.xValue = shownValue(sprite.xUpdate, sprite.common, sprite.xSource);
    shown.yValue = shownValue(sprite.yUpdate, sprite.common, sprite.ySource);
    shown.rotationValue = shownValue(sprite.rotationUpdate, sprite.common, sprite.rotationSource);
    shown.xOffset = sliderOffset(shown.xValue, sprite.xScale);
    shown.yOffset = sliderOffset(shown.yValue, sprite.yScale);
    shown.rotation = spriteRotation(shown.rotationValue, sprite.rotationScale);
}

}  // namespace

double sourceValue(const SourceVar& var)
{
    if (var.id == 0)
        return 0;
    const VariableInfo* info = findVariable(var.id);
    if (info && info->delivery == Delivery::Integer)
        return var.value.integer;
    return var.value.number;
}

void refreshSource(SourceVar& var, VariableStore& variables)
{
    if (var.id == 0)
        return;
    var.previous = var.value;
    variables.fill(var);
}

void updateElement(GaugeElement& element, ElementSnapshot& shown, VariableStore& variables,
                   const BitmapCatalog* bitmaps)
{
    switch (element.kind) {
    case StaticImage: break;
    case Needle: updateNeedle(reinterpret_cast<NeedleElement&>(element), shown, variables); break;
    case String: updateString(reinterpret_cast<StringElement&>(element), variables); break;
    case Slider: updateSlider(reinterpret_cast<SliderElement&>(element), shown, variables); break;
    case Icon: updateIcon(reinterpret_cast<IconElement&>(element), shown, variables); break;
    case MovingImage:
        updateMovingImage(reinterpret_cast<MovingImageElement&>(element), shown, variables, bitmaps);
        break;
    case Sprite: updateSprite(reinterpret_cast<SpriteElement&>(element), shown, variables); break;
    }
    shown.kind = element.kind;
    shown.bitmap = element.bitmap;
    shown.imageFlags = element.imageFlags;
    shown.hidden = (element.imageFlags & ImageHidden) != 0;
}

}  // namespace devhost
