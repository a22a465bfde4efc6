// devhost serve under load: with one and with ten pages watching, the time
// from a click request to the changed tile reaching every page (median and
// 95th percentile, also while the demo flight plays at x8, when every tick
// encodes many pieces), and the tile updates per second while the demo
// flight plays, each also as a multiple of one memcpy of the main panel's
// pixels measured in the same run; the CPU the server used; answers on a
// kept-alive connection against fresh ones; many kept-alive clients at
// once; and the cost of a tile piece at the feed's PNG level against a
// whole gauge at the default level. Run by scripts/bench-serve.sh;
// `serve_bench --click-p95 PAGES` prints only the p95 of click to changed
// tile with that many pages (over more clicks), for bench/run.sh.
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
#include "devhost/serve/feed_message.h"
#include "devhost/serve/panel_server.h"
#include "devhost/serve/tile_encoding.h"

namespace {

using namespace devhost;
using Clock = std::chrono::steady_clock;
using Json = nlohmann::json;
using namespace std::chrono_literals;

double milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double percentile(std::vector<double> times, double share)
{
    std::sort(times.begin(), times.end());
    return times[std::min(times.size() - 1, size_t(share * double(times.size())))];
}

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
              FeedFrames frames;
              client.Get("/api/feed", [&](const char* data, size_t size) {
                  frames.add({data, size});
                  while (std::optional<FeedFrame> frame = frames.next()) {
                      const Json& tiles = frame->header.value("tiles", Json::array());
                      if (!tiles.empty())
                          ++updates;
                      if (std::any_of(tiles.begin(), tiles.end(), [&](const Json& t) { return t["g"] == gauge; })) {
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

// A server on a free port with its ticking panel, and a client that posts as the page does.
struct Served {
    LivePanel panel{ServeOptions{.module = moduleUnderTest()}};
    ServingThread serving{panel};
    int port = serving.port();
    httplib::Client client{"127.0.0.1", port};

    Served()
    {
        panel.start();
        client.set_default_headers({{"Origin", fmt::format("http://127.0.0.1:{}", port)}});
    }
    size_t gauge(std::string_view name)
    {
        const Json panelInfo = Json::parse(client.Get("/api/panel")->body);
        for (const Json& g : panelInfo["gauges"])
            if (g["name"].get<std::string>() == name)
                return g["index"];
        return 0;
    }
};

// Clicks on the units switch, each timed until its own tile reached every page.
std::vector<double> clickToTile(Served& served, std::vector<std::unique_ptr<Page>>& watching, size_t units, int clicks)
{
    std::vector<double> latencies;
    for (int i = 0; i < clicks; ++i) {
        const auto clicked = Clock::now();
        served.client.Post("/api/click", Json{{"gauge", units}, {"x", 48}, {"y", 22}}.dump(), "application/json");
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
    return latencies;
}

std::vector<std::unique_ptr<Page>> watchingPages(Served& served, size_t pages, size_t gauge)
{
    std::vector<std::unique_ptr<Page>> watching;
    for (size_t i = 0; i < pages; ++i)
        watching.push_back(std::make_unique<Page>(served.port, gauge));
    std::this_thread::sleep_for(1s);
    return watching;
}

void measure(size_t pages, double memcpyMs)
{
    Served served;
    const size_t units = served.gauge("Metric_Switch");
    std::vector<std::unique_ptr<Page>> watching = watchingPages(served, pages, units);

    const std::vector<double> still = clickToTile(served, watching, units, 40);
    const double median = percentile(still, 0.5), p95 = percentile(still, 0.95);
    fmt::print("{:>2} page(s): click to changed tile median {:.1f} ms, p95 {:.1f} ms ({:.0f} and {:.0f} memcpys)\n", pages,
               median, p95, median / memcpyMs, p95 / memcpyMs);

    served.client.Post("/api/playback", R"({"play": true, "speed": 8})", "application/json");
    std::this_thread::sleep_for(1s);
    const std::vector<double> flying = clickToTile(served, watching, units, 40);
    fmt::print("{:>2} page(s), demo flight at x8: click to changed tile median {:.1f} ms, p95 {:.1f} ms\n", pages,
               percentile(flying, 0.5), percentile(flying, 0.95));

    served.client.Post("/api/playback", R"({"seek": 0, "play": true, "speed": 1})", "application/json");
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
    fmt::print("{:>2} page(s): {:.1f} tile updates per second to every page during the demo flight "
               "(one each {:.0f} memcpys), {:.2f} cores busy (pages' readers included)\n",
               pages, perSecond, 1000 / perSecond / memcpyMs, cores);
}

// The same small answer on one kept-alive connection and on fresh ones
// (Nagle's algorithm meeting delayed acknowledgements would add 40 ms to
// each kept-alive answer); then many kept-alive clients hovering at once.
void connections()
{
    Served served;
    const std::string origin = fmt::format("http://127.0.0.1:{}", served.port);
    auto timed = [&](httplib::Client& client, int runs) {
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            const auto start = Clock::now();
            client.Get("/style.css");
            times.push_back(milliseconds(Clock::now() - start));
        }
        return times;
    };
    httplib::Client kept("127.0.0.1", served.port);
    kept.set_default_headers({{"Origin", origin}});
    kept.set_keep_alive(true);
    const std::vector<double> keptTimes = timed(kept, 200);
    std::vector<double> freshTimes;
    for (int i = 0; i < 200; ++i) {
        httplib::Client fresh("127.0.0.1", served.port);
        fresh.set_default_headers({{"Origin", origin}});
        freshTimes.push_back(timed(fresh, 1)[0]);
    }
    fmt::print("GET /style.css on a kept-alive connection: median {:.2f} ms, p95 {:.2f} ms; on fresh connections: "
               "median {:.2f} ms, p95 {:.2f} ms\n",
               percentile(keptTimes, 0.5), percentile(keptTimes, 0.95), percentile(freshTimes, 0.5),
               percentile(freshTimes, 0.95));

    constexpr int Clients = 64;
    std::mutex mutex;
    std::vector<double> all;
    std::vector<std::thread> clients;
    const auto until = Clock::now() + 3s;
    for (int c = 0; c < Clients; ++c)
        clients.emplace_back([&] {
            httplib::Client client("127.0.0.1", served.port);
            client.set_default_headers({{"Origin", origin}});
            client.set_keep_alive(true);
            client.set_tcp_nodelay(true);   // as browsers do
            std::vector<double> mine;
            while (Clock::now() < until) {
                const auto start = Clock::now();
                if (client.Post("/api/hover", R"({"gauge": 0, "x": 1, "y": 1})", "application/json"))
                    mine.push_back(milliseconds(Clock::now() - start));
            }
            std::lock_guard lock(mutex);
            all.insert(all.end(), mine.begin(), mine.end());
        });
    for (std::thread& client : clients)
        client.join();
    fmt::print("{} kept-alive clients hovering at once: {:.0f} answers per second, median {:.2f} ms, p99 {:.1f} ms\n",
               Clients, double(all.size()) / 3, percentile(all, 0.5), percentile(all, 0.99));
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

// The tracked figure alone, as bench/run.sh reads it: the p95 of click to
// changed tile with this many pages watching the idle panel.
void clickFigure(size_t pages)
{
    Served served;
    const size_t units = served.gauge("Metric_Switch");
    std::vector<std::unique_ptr<Page>> watching = watchingPages(served, pages, units);
    fmt::print("click_p95_{} {:.2f}\n", pages, percentile(clickToTile(served, watching, units, 100), 0.95));
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (argc == 3 && std::string_view(argv[1]) == "--click-p95") {
        clickFigure(std::stoul(argv[2]));
        releaseDrawingCaches();
        return 0;
    }
    const double memcpyMs = memcpyOfPanelMs();
    fmt::print("one memcpy of the panel's pixels ({}x{}): {:.3f} ms\n", PanelScreenWidth, PanelScreenHeight, memcpyMs);
    encodingCost(memcpyMs);
    for (size_t pages : {1, 10})
        measure(pages, memcpyMs);
    connections();
    releaseDrawingCaches();
}
