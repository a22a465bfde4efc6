// The live panel's request handlers, as devhost serve calls them with the
// body of every POST: the first byte picks the request, the rest is its
// body. Each body is taken or refused with a RequestError (a 4xx with a
// short message); nothing may crash, hang or answer with a server error.
// With the first byte's high bit set, the request first meets the guard:
// the input's first lines are its method, path, Host, Origin,
// Sec-Fetch-Site, Content-Type and Cookie, the rest its body; a refusal
// is a 421, 401 or 403 with a message, and only what passes is handled.
// The editor's saves write the panel file, a copy in a folder of its own.
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

#include "devhost/core/panel_file.h"
#include "devhost/serve/live_panel.h"
#include "devhost/serve/request_error.h"
#include "devhost/serve/request_guard.h"

namespace {

const std::filesystem::path& folder()
{
    static const std::filesystem::path shared = std::filesystem::temp_directory_path() / "request_handler_fuzz";
    return shared;
}

devhost::LivePanel& panel()
{
    static devhost::LivePanel* shared = [] {
        std::filesystem::create_directories(folder());
        const std::filesystem::path flight = folder() / "flight.json", file = folder() / "panel.cfg";
        std::ofstream(flight) << R"({"duration": 4, "variables": {"airspeed": [[0, 0], [4, 200]]},
                                    "actions": [{"at": 1, "click": "Metric_Switch", "x": 48, "y": 22}]})";
        std::ofstream(file, std::ios::binary) << devhost::defaultPanelText();
        return new devhost::LivePanel(devhost::ServeOptions{
            .module = devhost::moduleUnderTest(), .panel = file.string(), .flight = flight.string(), .edit = true});
    }();
    return *shared;
}

// Files that Save as wrote beside the panel file go, so that a run does not fill the folder.
void removeSavedCopies()
{
    for (const auto& entry : std::filesystem::directory_iterator(folder()))
        if (entry.path().filename() != "panel.cfg" && entry.path().filename() != "flight.json")
            std::filesystem::remove(entry.path());
}

// The next line of the input, taken off it.
std::string_view line(std::string_view& input)
{
    const size_t end = std::min(input.find('\n'), input.size());
    const std::string_view taken = input.substr(0, end);
    input.remove_prefix(std::min(end + 1, input.size()));
    return taken;
}

// Whether the guard lets the request through; a refusal must be one it makes.
bool passesGuard(uint8_t which, std::string_view& input)
{
    static const devhost::RequestGuard local("127.0.0.1", 8080, ""), remote("0.0.0.0", 8080, "k3y");
    devhost::RequestFacts facts;
    facts.method = line(input);
    facts.path = line(input);
    facts.host = line(input);
    facts.origin = line(input);
    facts.fetchSite = line(input);
    facts.contentType = line(input);
    facts.cookie = line(input);
    const std::optional<devhost::Refusal> refusal = (which & 0x40 ? remote : local).check(facts);
    if (refusal && ((refusal->status != 421 && refusal->status != 401 && refusal->status != 403) ||
                    refusal->message.empty() || refusal->message.size() > 300))
        std::abort();
    return !refusal && facts.method == "POST";
}

void handle(devhost::LivePanel& p, uint8_t which, std::string_view body)
{
    using Json = nlohmann::json;
    Json request = devhost::parseBody(body);
    request.erase("seek");
    switch (which % 10) {
    case 0: p.click(request); break;
    case 1: p.hover(request); break;
    case 2: p.setVariable(request); break;
    case 3: p.showWindow(request); break;
    case 4: p.playback(request); break;
    case 5: p.setLight(request); break;
    case 6: p.record(request); break;
    case 7: p.recording(); break;
    case 8: p.editLayout(request); break;
    default: p.saveLayout(request); removeSavedCopies(); break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 64 * 1024)
        return 0;
    devhost::LivePanel& p = panel();
    static unsigned inputs = 0;
    std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    try {
        if (!(data[0] & 0x80) || passesGuard(data[0], input))
            handle(p, data[0], input);
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
