#include "app/LinkCheckDialog.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "app/Window.h"
#include "core/LinkState.h"

namespace brim::app {
namespace {

// The dialog redraws its bar and counts this often at most, whatever the
// number of answers coming in.
constexpr std::chrono::milliseconds kProgressInterval{100};

constexpr std::string_view kWords[core::kLinkStatusCount] = {
    "正常", "移動", "リンク切れ", "エラー", "接続不可", "タイムアウト", "対象外"};

}  // namespace

std::string_view linkStatusWord(core::LinkStatus status) {
    return kWords[static_cast<std::size_t>(status)];
}

std::string linkCountsText(const core::LinkProgress& progress) {
    std::string text;
    for (std::size_t i = 0; i < core::kLinkStatusCount; ++i) {
        if (progress.counts[i] == 0) continue;
        if (!text.empty()) text += "　";
        text += std::string(kWords[i]) + " " + std::to_string(progress.counts[i]) + " 件";
    }
    return text;
}

struct LinkCheckRun::State {
    core::StopSource stop;
    Sink sink;
    std::mutex mutex;
    std::condition_variable changed;
    bool ended = false;  // under mutex: the work no longer reads through the catalog
};

LinkCheckRun::LinkCheckRun(Scheduler& scheduler, const core::Catalog& catalog,
                           std::string stateFile, core::LinkCheckOptions options)
    : scheduler_(scheduler),
      catalog_(catalog),
      stateFile_(std::move(stateFile)),
      options_(std::move(options)) {}

LinkCheckRun::~LinkCheckRun() {
    *self_ = nullptr;
    for (const auto& s : all_)
        s->stop.request();
    for (const auto& s : all_) {
        std::unique_lock lock(s->mutex);
        s->changed.wait(lock, [&] { return s->ended; });
    }
}

void LinkCheckRun::stop() {
    if (current_) current_->stop.request();
}

void LinkCheckRun::start(std::vector<LinkTarget> targets, Sink sink) {
    if (current_) current_->stop.request();
    std::erase_if(all_, [](const std::shared_ptr<State>& s) {
        const std::lock_guard lock(s->mutex);
        return s->ended;
    });
    auto state = std::make_shared<State>();
    state->sink = std::move(sink);
    current_ = state;
    all_.push_back(state);
    // Set before the work starts: a scheduler may run it, and what it posts,
    // before runInBackground returns.
    scheduler_.runInBackground([state, self = self_, &scheduler = scheduler_, &catalog = catalog_,
                                stateFile = stateFile_, options = options_,
                                targets = std::move(targets)] {
        // Each address once, however many favorites lead to it.
        std::vector<std::string> urls;
        std::map<std::string, std::size_t> indexOf;
        std::vector<std::size_t> urlOf(targets.size(), SIZE_MAX);
        for (std::size_t i = 0; i < targets.size() && !state->stop.requested(); ++i) {
            const std::string url = catalog.fieldsOf(targets[i].path, targets[i].file).url;
            const auto [at, added] = indexOf.emplace(url, urls.size());
            if (added) urls.push_back(url);
            urlOf[i] = at->second;
        }
        auto last = std::chrono::steady_clock::now() - kProgressInterval;
        const auto finished = [&](std::size_t, const core::LinkResult&,
                                  const core::LinkProgress& p) {
            const auto now = std::chrono::steady_clock::now();
            if (now - last < kProgressInterval && p.done != p.total) return;
            last = now;
            scheduler.post([self, state, p] {
                if (*self && (*self)->current_ == state && state->sink.progress)
                    state->sink.progress(p);
            });
        };
        const auto results = core::LinkChecker(options).check(urls, finished, &state->stop);
        const std::int64_t now = std::chrono::duration_cast<std::chrono::seconds>(
                                     std::chrono::system_clock::now().time_since_epoch())
                                     .count();
        core::LinkState kept;
        for (std::size_t i = 0; i < urls.size(); ++i)
            if (results[i]) kept.record(urls[i], *results[i], now);
        // A failed write loses only what the next check finds again.
        if (!stateFile.empty() && !kept.links.empty())
            (void)kept.save(catalog.fileSystem(), stateFile);
        LinkResults byFile;
        bool stopped = state->stop.requested();
        for (std::size_t i = 0; i < targets.size(); ++i) {
            if (urlOf[i] == SIZE_MAX || !results[urlOf[i]]) {
                stopped = true;
                continue;
            }
            byFile[targets[i].file] = *results[urlOf[i]];
        }
        scheduler.post([self, state, byFile = std::move(byFile), stopped]() mutable {
            if (!*self || (*self)->current_ != state) return;
            (*self)->current_ = nullptr;
            if (state->sink.ended) state->sink.ended(std::move(byFile), stopped);
        });
        {
            const std::lock_guard lock(state->mutex);
            state->ended = true;
        }
        state->changed.notify_all();
    });
}

LinkCheckDialog::LinkCheckDialog(Window& window, LinkCheckView& view) : window_(window) {
    window_.startLinkCheck(view);
}

LinkCheckDialog::~LinkCheckDialog() {
    window_.leaveLinkCheck();
}

bool LinkCheckDialog::running() const {
    return window_.isCheckingLinks();
}

void LinkCheckDialog::Command1_Click() {
    window_.stopLinkCheck();
}

}  // namespace brim::app
