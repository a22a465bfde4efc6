#include "devhost/core/gauge_instance.h"

#include <algorithm>
#include <cstring>

#include "devhost/core/host_error.h"

namespace devhost {

namespace {

// Bounds on what a gauge's records may hold; beyond them the records are
// taken as broken rather than walked into foreign memory.
constexpr size_t maxRoots = 64;
constexpr size_t maxChildren = 256;
constexpr size_t maxFailures = 64;
constexpr uint32_t maxTablePoints = 4096;
constexpr size_t maxMouseAreas = 1024;
constexpr uint32_t maxTooltipArgs = 64;
constexpr int maxDepth = 32;

template <typename T>
size_t countUntilNull(T* const* list, size_t limit)
{
    size_t n = 0;
    while (n <= limit && list[n])
        ++n;
    return n;
}

}  // namespace

size_t elementRecordSize(ElementKind kind)
{
    switch (kind) {
    case StaticImage: return sizeof(StaticImageElement);
    case Needle: return sizeof(NeedleElement);
    case String: return sizeof(StringElement);
    case Slider: return sizeof(SliderElement);
    case Icon: return sizeof(IconElement);
    case MovingImage: return sizeof(MovingImageElement);
    case Sprite: return sizeof(SpriteElement);
    }
    return 0;
}

template <typename T>
T* GaugeInstance::allocate(size_t count)
{
    // Each record gets a block of exactly its own size, so that a write past
    // its end (a text buffer overrun above all) shows under AddressSanitizer.
    blocks_.push_back(std::make_unique<std::byte[]>(count * sizeof(T)));
    return reinterpret_cast<T*>(blocks_.back().get());
}

GaugeInstance::GaugeInstance(const GaugeDefinition& original, const Placement& placement)
    : name_(original.name ? original.name : ""),
      original_(&original),
      window_(placement.window),
      position_(placement.position),
      size_(placement.size),
      gaugePixels_(placement.gaugePixels)
{
    definition_ = allocate<GaugeDefinition>(1);
    std::memcpy(definition_, &original, sizeof original);

    if (original.elements) {
        size_t roots = countUntilNull(original.elements, maxRoots);
        if (roots > maxRoots)
            throw HostError("gauge " + name_ + ": its element list has no end");
        GaugeElement** list = allocate<GaugeElement*>(roots + 1);
        for (size_t i = 0; i < roots; ++i)
            list[i] = copyElement(original.elements[i], 0);
        list[roots] = nullptr;
        definition_->elements = list;
        for (size_t i = 0; i < roots; ++i)
            listInDrawingOrder(list[i], 0);
    }

    copyMouseAreas(original.mouseAreas);

    if (!placement.parameter.empty()) {
        char* text = allocate<char>(placement.parameter.size() + 1);
        std::memcpy(text, placement.parameter.data(), placement.parameter.size());
        text[placement.parameter.size()] = '\0';
        definition_->parameter = text;
    } else {
        definition_->parameter = nullptr;
    }
    definition_->position = position_;
    definition_->size = size_;
}

void GaugeInstance::moveTo(int window, Point position, Point size)
{
    window_ = window;
    position_ = definition_->position = position;
    size_ = definition_->size = size;
}

GaugeElement* GaugeInstance::copyElement(const GaugeElement* source, int depth)
{
    if (auto done = copied_.find(source); done != copied_.end())
        return static_cast<GaugeElement*>(done->second);
    if (depth > maxDepth)
        throw HostError("gauge " + name_ + ": its elements nest deeper than " + std::to_string(maxDepth) +
                        " levels (a loop in the children lists?)");
    size_t size = elementRecordSize(source->kind);
    if (size == 0)
        throw HostError("gauge " + name_ + ": an element has the unknown kind " + std::to_string(source->kind));

    auto* element = reinterpret_cast<GaugeElement*>(allocate<std::byte>(size));
    std::memcpy(element, source, size);
    copied_.emplace(source, element);
    element->gauge = definition_;

    if (source->children) {
        size_t count = countUntilNull(source->children, maxChildren);
        if (count > maxChildren)
            throw HostError("gauge " + name_ + ": a children list has no end");
        GaugeElement** children = allocate<GaugeElement*>(count + 1);
        for (size_t i = 0; i < count; ++i)
            children[i] = copyElement(source->children[i], depth + 1);
        children[count] = nullptr;
        element->children = children;
    }

    if (source->failures) {
        size_t count = 0;
        while (count <= maxFailures && source->failures[count].system != 0)
            ++count;
        if (count > maxFailures)
            throw HostError("gauge " + name_ + ": a failure list has no end");
        FailureBinding* failures = allocate<FailureBinding>(count + 1);
        std::memcpy(failures, source->failures, (count + 1) * sizeof(FailureBinding));
        element->failures = failures;
    }

    if (element->kind == Needle) {
        auto* needle = reinterpret_cast<NeedleElement*>(element);
        if (needle->pointCount > maxTablePoints)
            throw HostError("gauge " + name_ + ": a calibration table of " + std::to_string(needle->pointCount) +
                            " points");
        if (needle->table && needle->pointCount > 0) {
            CalibrationPoint* table = allocate<CalibrationPoint>(needle->pointCount);
            std::memcpy(table, needle->table, needle->pointCount * sizeof(CalibrationPoint));
            needle->table = table;
        } else {
            needle->pointCount = 0;
        }
    } else if (element->kind == String) {
        // The host supplies the buffer: exactly the declared characters and
        // the terminating null.
        auto* string = reinterpret_cast<StringElement*>(element);
        string->text = allocate<char>(size_t{string->characters} + 1);
    }
    return element;
}

void GaugeInstance::copyMouseAreas(const MouseArea* source)
{
    if (!source)
        return;
    size_t count = 0;
    while (count <= maxMouseAreas && source[count].type != ListEnd)
        ++count;
    if (count > maxMouseAreas)
        throw HostError("gauge " + name_ + ": its mouse-area list has no ListEnd");
    areas_ = allocate<MouseArea>(count + 1);
    std::memcpy(areas_, source, (count + 1) * sizeof(MouseArea));
    areaCount_ = count;
    definition_->mouseAreas = areas_;

    // The radios share one argument array among their tooltips, and a later
    // tooltip may use more of it than an earlier one: each array is copied
    // once, as long as its longest use, and the copies share it likewise.
    std::map<const TooltipArg*, uint32_t> longestUse;
    for (size_t i = 0; i < count; ++i) {
        const MouseArea& area = source[i];
        if (area.type != Tooltip || !area.tooltipArgs)
            continue;
        if (area.keyEventOrArgCount > maxTooltipArgs)
            throw HostError("gauge " + name_ + ": a tooltip with " + std::to_string(area.keyEventOrArgCount) +
                            " arguments");
        uint32_t& longest = longestUse[area.tooltipArgs];
        longest = std::max(longest, area.keyEventOrArgCount);
    }
    std::map<const TooltipArg*, TooltipArg*> copies;
    for (auto [args, length] : longestUse) {
        TooltipArg* copy = nullptr;
        if (length > 0) {
            copy = allocate<TooltipArg>(length);
            std::memcpy(copy, args, length * sizeof(TooltipArg));
        }
        copies.emplace(args, copy);
    }
    for (size_t i = 0; i < count; ++i)
        if (areas_[i].type == Tooltip && areas_[i].tooltipArgs)
            areas_[i].tooltipArgs = copies.at(source[i].tooltipArgs);
}

void GaugeInstance::listInDrawingOrder(GaugeElement* element, int depth)
{
    Slot slot{element, depth, {}, {}};
    slot.shown.index = elements_.size();
    slot.shown.depth = depth;
    slot.shown.kind = element->kind;
    elements_.push_back(slot);
    if (element->children)
        for (GaugeElement** child = element->children; *child; ++child)
            listInDrawingOrder(*child, depth + 1);
}

}  // namespace devhost
