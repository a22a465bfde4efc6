// The services table the host hands over: the prologue, the four served
// slots, and traps everywhere else.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "devhost/core/service_table.h"

namespace devhost {
namespace {

void VARDEX_HOSTAPI start() {}
void VARDEX_HOSTAPI stop() {}

struct Recorder final : ServiceSink {
    std::vector<int> traps;
    std::vector<uint32_t> keys;
    int32_t togglePanelWindow(uint32_t) override { return 1; }
    uint32_t triggerKeyEvent(uint32_t id, uint32_t) override
    {
        keys.push_back(id);
        return 1;
    }
    void lookupVar(SourceVar& var) override { var.value.number = 42; }
    int32_t executeCalculatorCode(const char*, double*, int32_t*, const char**) override { return 0; }
    void trap(int slot) override { traps.push_back(slot); }
    void* findHostWindow(const char*) override { return this; }
    void clipPlayed(uint32_t) override {}
};

using Slot = uintptr_t(VARDEX_HOSTAPI*)();

Slot slotOf(const HostServices& table, size_t slot)
{
    Slot function;
    std::memcpy(&function, reinterpret_cast<const unsigned char*>(&table) + slot * sizeof(void*), sizeof function);
    return function;
}

TEST(ServiceTable, RepeatsTheLinkagePrologueInItsFirstSixSlots)
{
    LinkageRecord linkage{.moduleId = LinkageModuleId, .init = start, .shutdown = stop, .flags = 0, .priority = 0,
                          .version = LinkageVersion};
    HostServices table = makeServiceTable(linkage);
    EXPECT_EQ(table.prologue[0], 0x13u);
    EXPECT_EQ(table.prologue[1], reinterpret_cast<uintptr_t>(&start));
    EXPECT_EQ(table.prologue[2], reinterpret_cast<uintptr_t>(&stop));
    EXPECT_EQ(table.prologue[5], 0x0900u);
}

TEST(ServiceTable, ServedSlotsReachTheActiveHostAndEveryOtherSlotIsATrap)
{
    HostServices table = makeServiceTable(LinkageRecord{.moduleId = LinkageModuleId});
    Recorder host;
    {
        ActiveSink active(host);
        table.triggerKeyEvent(66435, 0);
        SourceVar var{.id = 61};
        table.lookupVar(&var);
        EXPECT_DOUBLE_EQ(var.value.number, 42);
        for (size_t slot = 6; slot < HostServiceSlots; ++slot) {
            if (slot != 35 && slot != 36 && slot != 40 && slot != 69) {
                EXPECT_EQ(slotOf(table, slot)(), 0u) << slot;
            }
        }
        EXPECT_EQ(vardexFindHostWindow("FS98MAIN"), &host);
    }
    EXPECT_EQ(host.keys, std::vector<uint32_t>{66435});
    ASSERT_EQ(host.traps.size(), HostServiceSlots - 6 - 4);
    EXPECT_EQ(host.traps.front(), 6);
    EXPECT_EQ(host.traps.back(), 81);

    // Outside any call into the module no host is active: nothing reaches one.
    table.triggerKeyEvent(66435, 0);
    slotOf(table, 50)();
    EXPECT_EQ(host.keys.size(), 1u);
    EXPECT_EQ(vardexFindHostWindow("FS98MAIN"), nullptr);
}

}  // namespace
}  // namespace devhost
