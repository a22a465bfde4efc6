// devhost serve under load: with one and with ten pages watching, the time
// from a click request to the changed tile reaching every page, and the
// tile updates per second while the demo flight plays, each also as a
// multiple of one memcpy of the main panel's pixels measured in the same
// run; the CPU the server used; and the cost of a tile piece at the feed's
// PNG level against a whole gauge at the default level. Run by
// scripts/bench-serve.sh.
#include <httplib.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <thread>
#include <vector>

#include <fmt/format.h>

#include "devhost/core/host.h"
#include "devhost/render/cairo_handles.h"
#include "devhost/serve/panel_server.h"
#include "devhost/serve/tile_encoding.h"

namespace {

using namespace devhost;
using Clock = std::chrono::steady_clock;
using Json = nlohmann::json;
using namespace std::chrono_literals;

double milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

template <typename Work>
double medianMs(int runs, Work work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        times.push_back(milliseconds(Clock::now() - start));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double memcpyOfPanelMs()
{
    std::vector<uint32_t> from(size_t(PanelScreenWidth) * PanelScreenHeight, 0x123456), to(from.size());
    return medianMs(200, [&] {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(uint32_t));
        asm volatile("" ::"r"(to.data()) : "memory");
    });
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A page watching the feed: counts frames with tiles and notes when a
// piece of the watched gauge last arrived.
class Page {
public:
    Page(int port, size_t gauge)
        : thread_([this, port, gauge] {
              httplib::Client client("127.0.0.1", port);
              std::string pending;
              const std::string piece = fmt::format("{{\"g\":{},", gauge);
              client.Get("/api/feed", [&](const char* data, size_t size) {
                  pending.append(data, size);
                  for (size_t end; (end = pending.find("\n\n")) != std::string::npos; pending.erase(0, end + 2)) {
                      std::string_view message(pending.data(), end);
                      if (message.find("\"tiles\":[{") != std::string_view::npos)
                          ++updates;
                      if (message.find(piece) != std::string_view::npos) {
                          std::lock_guard lock(mutex_);
                          lastPiece_ = Clock::now();
                      }
                  }
                  return !done_;
              });
          })
    {
    }
    ~Page()
    {
        done_ = true;
        thread_.join();
    }
    std::optional<Clock::time_point> pieceSince(Clock::time_point t)
    {
        std::lock_guard lock(mutex_);
        return lastPiece_ >= t ? std::optional(lastPiece_) : std::nullopt;
    }
    std::atomic<uint64_t> updates{0};

private:
    std::mutex mutex_;
    Clock::time_point lastPiece_{};
    std::atomic<bool> done_{false};
    std::thread thread_;
};

void measure(size_t pages, double memcpyMs)
{
    LivePanel panel(ServeOptions{.module = moduleUnderTest()});
    PanelServer server(panel);
    const int port = server.bind("127.0.0.1", 0);
    std::thread serving([&] { server.serve(); });
    panel.start();
    httplib::Client client("127.0.0.1", port);
    client.set_default_headers({{"Origin", fmt::format("http://127.0.0.1:{}", port)}});
    const Json info = Json::parse(client.Get("/api/panel")->body);
    size_t airspeed = 0, units = 0;
    for (const Json& g : info["gauges"]) {
        if (g["name"] == "Airspeed")
            airspeed = g["index"];
        if (g["name"] == "Metric_Switch")
            units = g["index"];
    }
    std::vector<std::unique_ptr<Page>> watching;
    for (size_t i = 0; i < pages; ++i)
        watching.push_back(std::make_unique<Page>(port, airspeed));
    std::this_thread::sleep_for(1s);

    // The units switch redraws the airspeed face: click, then wait for every page to have the piece.
    std::vector<double> latencies;
    for (int i = 0; i < 20; ++i) {
        const auto clicked = Clock::now();
        client.Post("/api/click", Json{{"gauge", units}, {"x", 48}, {"y", 22}}.dump(), "application/json");
        Clock::time_point latest = clicked;
        for (auto& page : watching) {
            std::optional<Clock::time_point> arrived;
            while (!(arrived = page->pieceSince(clicked)) && Clock::now() - clicked < 2s)
                std::this_thread::sleep_for(200us);
            latest = std::max(latest, arrived.value_or(Clock::now()));
        }
        latencies.push_back(milliseconds(latest - clicked));
        std::this_thread::sleep_for(150ms);
    }
    std::sort(latencies.begin(), latencies.end());

    client.Post("/api/playback", R"({"play": true, "speed": 1})", "application/json");
    std::this_thread::sleep_for(1s);
    for (auto& page : watching)
        page->updates = 0;
    const double cpuBefore = cpuSeconds();
    const auto start = Clock::now();
    std::this_thread::sleep_for(10s);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double cores = (cpuSeconds() - cpuBefore) / seconds;
    uint64_t fewest = UINT64_MAX;
    for (auto& page : watching)
        fewest = std::min<uint64_t>(fewest, page->updates);
    const double perSecond = double(fewest) / seconds;

    fmt::print("{:>2} page(s): click to changed tile median {:.1f} ms, worst {:.1f} ms ({:.0f} and {:.0f} memcpys)\n",
               pages, latencies[latencies.size() / 2], latencies.back(), latencies[latencies.size() / 2] / memcpyMs,
               latencies.back() / memcpyMs);
    fmt::print("{:>2} page(s): {:.1f} tile updates per second to every page during the demo flight "
               "(one each {:.0f} memcpys), {:.2f} cores busy (pages' readers included)\n",
               pages, perSecond, 1000 / perSecond / memcpyMs, cores);
    watching.clear();
    server.stop();
    serving.join();
}

// One whole gauge at the default PNG level against the pieces the feed sends.
void encodingCost(double memcpyMs)
{
    SurfaceHandle picture(cairo_image_surface_create(CAIRO_FORMAT_RGB24, PanelScreenWidth, PanelScreenHeight));
    ContextHandle cr = newContext(picture.get());
    cairo_pattern_t* paint = cairo_pattern_create_radial(512, 384, 10, 512, 384, 500);
    cairo_pattern_add_color_stop_rgb(paint, 0, 0.9, 0.9, 0.8);
    cairo_pattern_add_color_stop_rgb(paint, 1, 0.1, 0.1, 0.12);
    cairo_set_source(cr.get(), paint);
    cairo_paint(cr.get());
    cairo_pattern_destroy(paint);
    const Box panel{0, 0, PanelScreenWidth, PanelScreenHeight}, gauge{277, 290, 150, 165}, piece{320, 330, 60, 60};
    for (auto [what, box] : {std::pair{"the whole panel", panel}, {"a gauge", gauge}, {"a needle's piece", piece}}) {
        const double slow = medianMs(15, [&] { encodePng(picture.get(), box, DefaultPngLevel); });
        const double fast = medianMs(15, [&] { encodePng(picture.get(), box, FastPngLevel); });
        fmt::print("PNG of {}: {:.2f} ms at level {}, {:.2f} ms at level {} ({:.0f} and {:.0f} memcpys)\n", what, slow,
                   DefaultPngLevel, fast, FastPngLevel, slow / memcpyMs, fast / memcpyMs);
    }
}

}  // namespace

int main()
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const double memcpyMs = memcpyOfPanelMs();
    fmt::print("one memcpy of the panel's pixels ({}x{}): {:.3f} ms\n", PanelScreenWidth, PanelScreenHeight, memcpyMs);
    encodingCost(memcpyMs);
    for (size_t pages : {1, 10})
        measure(pages, memcpyMs);
    releaseDrawingCaches();
}
