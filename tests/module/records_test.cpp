// The records the host reads, all of them, as one fingerprint: every gauge
// header, element record, calibration table, failure list, mouse area and
// tooltip argument, byte for byte, with each pointer written as the order
// in which its target was first met (so the fingerprint does not depend on
// where the module is loaded, but a record that points elsewhere changes
// it). A change of the definitions' code that must leave the records as
// they are is held to this; a deliberate change of a record updates the
// value below and says why.
#include <dlfcn.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <map>
#include <string>

#include "devhost/core/host.h"
#include "framework/gauge_model.h"

namespace {

// FNV-1a over the dump; the records are laid out per pointer width.
constexpr uint64_t ExpectedFingerprint = sizeof(void*) == 8 ? 0x8cd9073d59e58891ull : 0xf55fa2f04280cbcaull;

class RecordDump {
public:
    // The record's bytes, the named pointer fields replaced by their order.
    template <typename Record>
    void add(const Record& record, std::initializer_list<size_t> pointerFields)
    {
        std::string bytes(reinterpret_cast<const char*>(&record), sizeof record);
        for (size_t at : pointerFields) {
            const void* target = nullptr;
            std::memcpy(&target, bytes.data() + at, sizeof target);
            std::memset(bytes.data() + at, 0, sizeof target);
            bytes += "@" + std::to_string(order(target));
        }
        text_ += bytes;
    }
    void addText(const char* text) { text_ += text ? std::string("\"") + text + "\"" : std::string("null"); }

    uint64_t fingerprint() const
    {
        uint64_t hash = 0xcbf29ce484222325ull;
        for (unsigned char c : text_)
            hash = (hash ^ c) * 0x100000001b3ull;
        return hash;
    }

private:
    size_t order(const void* target)
    {
        if (!target)
            return 0;
        return orders_.try_emplace(target, orders_.size() + 1).first->second;
    }

    std::map<const void*, size_t> orders_;
    std::string text_;
};

#define FIELD(type, field) offsetof(type, field)
#define HEADER(type) FIELD(type, common.gauge), FIELD(type, common.previous), FIELD(type, common.children), \
                     FIELD(type, common.failures)
#define SOURCE(type, source) FIELD(type, source.hostPointer)

void addElement(RecordDump& dump, const GaugeElement& e)
{
    switch (e.kind) {
    case StaticImage: dump.add(reinterpret_cast<const StaticImageElement&>(e), {HEADER(StaticImageElement)}); break;
    case Needle: {
        const auto& n = reinterpret_cast<const NeedleElement&>(e);
        dump.add(n, {HEADER(NeedleElement), SOURCE(NeedleElement, source), FIELD(NeedleElement, hostFunctions[0]),
                     FIELD(NeedleElement, hostFunctions[1]), FIELD(NeedleElement, hostFunctions[2]),
                     FIELD(NeedleElement, hostFunctions[3]), FIELD(NeedleElement, table), FIELD(NeedleElement, update)});
        for (uint32_t i = 0; n.table && i < n.pointCount; ++i)
            dump.add(n.table[i], {});
        break;
    }
    case String:
        dump.add(reinterpret_cast<const StringElement&>(e),
                 {HEADER(StringElement), SOURCE(StringElement, sources[0]), SOURCE(StringElement, sources[1]),
                  SOURCE(StringElement, sources[2]), FIELD(StringElement, text), FIELD(StringElement, highlights),
                  FIELD(StringElement, update)});
        break;
    case Slider:
        dump.add(reinterpret_cast<const SliderElement&>(e),
                 {HEADER(SliderElement), SOURCE(SliderElement, xSource), SOURCE(SliderElement, ySource),
                  FIELD(SliderElement, xUpdate), FIELD(SliderElement, yUpdate)});
        break;
    case Icon:
        dump.add(reinterpret_cast<const IconElement&>(e),
                 {HEADER(IconElement), SOURCE(IconElement, source), FIELD(IconElement, update)});
        break;
    case MovingImage:
        dump.add(reinterpret_cast<const MovingImageElement&>(e),
                 {HEADER(MovingImageElement), SOURCE(MovingImageElement, xSource), SOURCE(MovingImageElement, ySource),
                  FIELD(MovingImageElement, xUpdate), FIELD(MovingImageElement, yUpdate)});
        break;
    case Sprite:
        dump.add(reinterpret_cast<const SpriteElement&>(e),
                 {HEADER(SpriteElement), SOURCE(SpriteElement, xSource), SOURCE(SpriteElement, ySource),
                  SOURCE(SpriteElement, rotationSource), FIELD(SpriteElement, xUpdate),
                  FIELD(SpriteElement, yUpdate), FIELD(SpriteElement, rotationUpdate)});
        break;
    default: ADD_FAILURE() << "element of kind " << e.kind;
    }
    for (const FailureBinding* f = e.failures; f; ++f) {
        dump.add(*f, {});
        if (f->system == 0)
            break;
    }
}

void addMouseAreas(RecordDump& dump, const MouseArea* area)
{
    for (; area; ++area) {
        dump.add(*area, {FIELD(MouseArea, raw), FIELD(MouseArea, tooltipArgs)});
        if (area->type == Tooltip) {
            dump.addText(area->tooltipText);
            for (uint32_t i = 0; area->tooltipArgs && i < area->keyEventOrArgCount; ++i)
                dump.add(area->tooltipArgs[i], {FIELD(TooltipArg, source.hostPointer), FIELD(TooltipArg, number),
                                                FIELD(TooltipArg, idCallback), FIELD(TooltipArg, string)});
        }
        if (area->type == ListEnd)
            break;
    }
}

TEST(ModuleRecords, AreTheOnesFingerprinted)
{
#ifndef __OPTIMIZE__
    // Optimised builds fold callbacks of identical code into one function,
    // which the pointers' order records: the value holds for those alone.
    GTEST_SKIP() << "the fingerprint is that of an optimised build";
#endif
    void* module = dlopen(devhost::moduleUnderTest().c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    const auto* linkage = static_cast<const LinkageRecord*>(dlsym(module, "Linkage"));
    ASSERT_NE(linkage, nullptr);
    RecordDump dump;
    for (GaugeDefinition* const* g = linkage->gauges; *g; ++g) {
        const GaugeDefinition& gauge = **g;
        dump.add(gauge, {FIELD(GaugeDefinition, name), FIELD(GaugeDefinition, elements),
                         FIELD(GaugeDefinition, mouseAreas), FIELD(GaugeDefinition, callback),
                         FIELD(GaugeDefinition, parameter), FIELD(GaugeDefinition, usage)});
        dump.addText(gauge.name);
        // Every gauge is one chain: one root, each element the only child of the one before.
        for (GaugeElement** list = gauge.elements; list && *list; list = (*list)->children) {
            GaugeElement* const listed[2] = {list[0], list[1]};
            dump.add(listed, {0, sizeof(void*)});
            addElement(dump, **list);
        }
        addMouseAreas(dump, gauge.mouseAreas);
    }
    EXPECT_EQ(dump.fingerprint(), ExpectedFingerprint) << std::hex << "0x" << dump.fingerprint();
    dlclose(module);
}

}  // namespace
