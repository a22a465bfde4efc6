// What the host filled into an element's own source variables for this
// frame, for the update callbacks of sliders, icons, moving images and
// sprites (a needle's is needleSource in needle_dial.h). Each reader checks
// the element's kind, so a callback handed another kind of element reads 0
// instead of another record's bytes.
#pragma once

#include "framework/gauge_model.h"

template <typename Record, ElementKind kind, SourceVar Record::*source>
double ownSource(const GaugeElement* element)
{
    if (!element || element->kind != kind)
        return 0.0;
    return (reinterpret_cast<const Record*>(element)->*source).value.number;
}

inline double iconSource(const GaugeElement* e) { return ownSource<IconElement, Icon, &IconElement::source>(e); }

inline double sliderYSource(const GaugeElement* e)
{
    return ownSource<SliderElement, Slider, &SliderElement::ySource>(e);
}

inline double spriteYSource(const GaugeElement* e)
{
    return ownSource<SpriteElement, Sprite, &SpriteElement::ySource>(e);
}

inline double movingImageXSource(const GaugeElement* e)
{
    return ownSource<MovingImageElement, MovingImage, &MovingImageElement::xSource>(e);
}

inline double spriteRotationSource(const GaugeElement* e)
{
    return ownSource<SpriteElement, Sprite, &SpriteElement::rotationSource>(e);
}
