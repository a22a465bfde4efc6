// What the host filled into an element's own source variables for this
// frame, for the update callbacks of sliders, icons, moving images and
// sprites (a needle's is needleSource in needle_dial.h). Each reader checks
// the element's kind, so a callback handed the wrong element reads 0
// instead of another record's bytes.
#pragma once

#include "framework/gauge_model.h"

namespace element_sources_detail {

template <typename Record>
const Record* as(const GaugeElement* element, ElementKind kind)
{
    return element && element->kind == kind ? reinterpret_cast<const Record*>(element) : nullptr;
}

}  // namespace element_sources_detail

inline double sliderYSource(const GaugeElement* element)
{
    auto* slider = element_sources_detail::as<SliderElement>(element, Slider);
    return slider ? slider->ySource.value.number : 0.0;
}

inline double iconSource(const GaugeElement* element)
{
    auto* icon = element_sources_detail::as<IconElement>(element, Icon);
    return icon ? icon->source.value.number : 0.0;
}

inline double movingImageXSource(const GaugeElement* element)
{
    auto* image = element_sources_detail::as<MovingImageElement>(element, MovingImage);
    return image ? image->xSource.value.number : 0.0;
}

inline double spriteYSource(const GaugeElement* element)
{
    auto* sprite = element_sources_detail::as<SpriteElement>(element, Sprite);
    return sprite ? sprite->ySource.value.number : 0.0;
}

inline double spriteRotationSource(const GaugeElement* element)
{
    auto* sprite = element_sources_detail::as<SpriteElement>(element, Sprite);
    return sprite ? sprite->rotationSource.value.number : 0.0;
}
