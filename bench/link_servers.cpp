// Web servers on the loopback for bench/linkcheck.sh: HOSTS of them (ports
// on 127.0.0.1 and 127.0.0.2), each answering every request after DELAY_MS,
// and PER_HOST favorites for each written into FAVORITES.
//   brimmark-bench-link-servers FAVORITES [HOSTS=20] [PER_HOST=100] [DELAY_MS=200]
// Prints "ready" once they listen, and serves until its input ends (or for
// 30 minutes at most); then prints the most requests any one host served
// at once and in all.

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/InFlight.h"

namespace {

using brim::test::InFlight;

struct Host {
    httplib::Server server;
    InFlight counter;
    std::thread thread;
    std::string base;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: brimmark-bench-link-servers FAVORITES [HOSTS] [PER_HOST] [DELAY_MS]\n";
        return 2;
    }
    const std::filesystem::path favorites = argv[1];
    const int hosts = argc > 2 ? std::stoi(argv[2]) : 20;
    const int perHost = argc > 3 ? std::stoi(argv[3]) : 100;
    const auto delay = std::chrono::milliseconds(argc > 4 ? std::stoi(argv[4]) : 200);

    InFlight all;
    std::vector<std::unique_ptr<Host>> servers;
    for (int h = 0; h < hosts; ++h) {
        auto host = std::make_unique<Host>();
        Host* raw = host.get();
        // Room for the connections the check keeps open and a few more.
        host->server.new_task_queue = [] { return new httplib::ThreadPool(6); };
        host->server.Get(".*", [raw, &all, delay](const httplib::Request&, httplib::Response&) {
            raw->counter.enter();
            all.enter();
            std::this_thread::sleep_for(delay);
            all.leave();
            raw->counter.leave();
        });
        const std::string address = h % 2 ? "127.0.0.2" : "127.0.0.1";
        const int port = host->server.bind_to_any_port(address);
        if (port <= 0) {
            std::cerr << "cannot listen on " << address << '\n';
            return 1;
        }
        host->base = "http://" + address + ":" + std::to_string(port);
        host->thread = std::thread([raw] { raw->server.listen_after_bind(); });
        servers.push_back(std::move(host));
    }

    // One folder per host, as a real collection has many per site.
    for (int h = 0; h < hosts; ++h) {
        const auto folder = favorites / ("site" + std::to_string(h));
        std::filesystem::create_directories(folder);
        for (int i = 0; i < perHost; ++i) {
            std::ofstream(folder / ("page" + std::to_string(i) + ".url"), std::ios::binary)
                << "[InternetShortcut]\r\nURL=" << servers[h]->base << "/page/" << i << "\r\n";
        }
    }
    for (const auto& s : servers) {
        for (int i = 0; i < 500 && !s->server.is_running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::cout << "ready" << std::endl;

    // Until the script closes our input, bounded all the same.
    std::atomic<bool> closed{false};
    std::thread reader([&closed] {
        std::string line;
        while (std::getline(std::cin, line)) {
        }
        closed = true;
    });
    reader.detach();
    for (int i = 0; i < 1800 * 10 && !closed; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));

    int mostOnOne = 0;
    for (auto& s : servers) {
        s->server.stop();
        s->thread.join();
        mostOnOne = std::max(mostOnOne, s->counter.most);
    }
    std::cout << "most at once: " << mostOnOne << " on one host, " << all.most << " in all"
              << std::endl;
    return 0;
}
