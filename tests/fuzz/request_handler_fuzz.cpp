// The live panel's request handlers, as devhost serve calls them with the
// body of every POST: the first byte picks the request, the rest is its
// body. Each body is taken or refused with a RequestError (a 4xx with a
// short message); nothing may crash, hang or answer with a server error.
// One panel serves every input; it ticks now and then so that what the
// requests changed is drawn and told. Loading a flight and seeking start a
// fresh private copy of the module and unload the old one, whose coverage
// counters the fuzzer would go on reading: those two are left to the
// flight script target and the tests, and a seek is taken out of the body.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "devhost/serve/live_panel.h"
#include "devhost/serve/request_error.h"

namespace {

devhost::LivePanel& panel()
{
    static devhost::LivePanel* shared = [] {
        const std::filesystem::path flight = std::filesystem::temp_directory_path() / "request_handler_fuzz_flight.json";
        std::ofstream(flight) << R"({"duration": 4, "variables": {"airspeed": [[0, 0], [4, 200]]},
                                    "actions": [{"at": 1, "click": "Metric_Switch", "x": 48, "y": 22}]})";
        return new devhost::LivePanel(devhost::ServeOptions{.module = devhost::moduleUnderTest(), .flight = flight.string()});
    }();
    return *shared;
}

void handle(devhost::LivePanel& p, uint8_t which, std::string_view body)
{
    using Json = nlohmann::json;
    Json request = devhost::parseBody(body);
    request.erase("seek");
    switch (which % 8) {
    case 0: p.click(request); break;
    case 1: p.hover(request); break;
    case 2: p.setVariable(request); break;
    case 3: p.showWindow(request); break;
    case 4: p.playback(request); break;
    case 5: p.setLight(request); break;
    case 6: p.record(request); break;
    default: p.recording(); break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 64 * 1024)
        return 0;
    devhost::LivePanel& p = panel();
    static unsigned inputs = 0;
    try {
        handle(p, data[0], {reinterpret_cast<const char*>(data + 1), size - 1});
    } catch (const devhost::RequestError& error) {
        const std::string_view message = error.what();
        if (error.status() < 400 || error.status() > 499 || message.empty() || message.size() > 2000)
            std::abort();
    }
    if (++inputs % 16 == 0)
        p.tick();
    return 0;
}

// The panel lives as long as the process, as in devhost serve; what
// fontconfig keeps for the process's text is let go only at its end.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
