#include "app/LinkCheckDialog.h"

#include <charconv>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "app/Window.h"
#include "core/LinkState.h"
#include "core/Numbers.h"
#include "core/Settings.h"

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

std::optional<double> uncheckedDays(const std::string& text) {
    // An IME left in full-width mode types "３０".
    std::string ascii;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\xEF\xBC") == 0 && i + 2 < text.size()) {
            const auto c = static_cast<unsigned char>(text[i + 2]);
            if (c >= 0x90 && c <= 0x99) {
                ascii += static_cast<char>('0' + (c - 0x90));
                i += 2;
                continue;
            }
            if (c == 0x8E) {
                ascii += '.';
                i += 2;
                continue;
            }
        }
        if (text[i] != ' ') ascii += text[i];
    }
    double days = 0;
    const char* end = ascii.data() + ascii.size();
    const auto [at, ec] = std::from_chars(ascii.data(), end, days);
    // A hundred years takes every favorite there is.
    if (ascii.empty() || ec != std::errc() || at != end || !(days > 0) || days > 36500)
        return std::nullopt;
    return days;
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

void LinkCheckRun::start(std::vector<LinkTarget> targets, Sink sink,
                         std::optional<double> uncheckedForDays) {
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
                                targets = std::move(targets), uncheckedForDays] {
        const std::int64_t started = core::SecondsNow();
        core::LinkState known;
        if (uncheckedForDays && !stateFile.empty())
            known = core::LinkState::read(catalog.fileSystem(), stateFile);
        // Each address once, however many favorites lead to it.
        std::vector<std::string> urls;
        std::map<std::string, std::size_t> indexOf;
        std::vector<std::size_t> urlOf(targets.size(), SIZE_MAX);
        LinkResults recent;
        for (std::size_t i = 0; i < targets.size() && !state->stop.requested(); ++i) {
            const std::string url = catalog.fieldsOf(targets[i].path, targets[i].file).url;
            if (uncheckedForDays && known.checkedWithin(url, started, *uncheckedForDays)) {
                recent[targets[i].file] = known.links.at(url).result;
                continue;
            }
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
        const std::int64_t now = core::SecondsNow();
        core::LinkState kept;
        for (std::size_t i = 0; i < urls.size(); ++i)
            if (results[i]) kept.record(urls[i], *results[i], now);
        // A failed write loses only what the next check finds again.
        if (!stateFile.empty() && !kept.links.empty())
            (void)kept.save(catalog.fileSystem(), stateFile);
        LinkResults byFile;
        bool stopped = state->stop.requested();
        for (std::size_t i = 0; i < targets.size(); ++i) {
            if (recent.count(targets[i].file)) continue;
            if (urlOf[i] == SIZE_MAX || !results[urlOf[i]]) {
                stopped = true;
                continue;
            }
            byFile[targets[i].file] = *results[urlOf[i]];
        }
        scheduler.post([self, state, byFile = std::move(byFile), recent = std::move(recent),
                        stopped]() mutable {
            if (!*self || (*self)->current_ != state) return;
            (*self)->current_ = nullptr;
            if (state->sink.ended) state->sink.ended(std::move(byFile), std::move(recent), stopped);
        });
        {
            const std::lock_guard lock(state->mutex);
            state->ended = true;
        }
        state->changed.notify_all();
    });
}

namespace st = core::settings;

LinkCheckDialog::LinkCheckDialog(Window& window, LinkCheckView& view)
    : window_(window), view_(view) {
    const SettingsWriter& settings = window_.settings();
    const bool only =
        st::CheckBoxFromSetting(settings.read(st::kLinkCheck, st::kUncheckedOnly)).value_or(0) == 1;
    std::string days = settings.read(st::kLinkCheck, st::kUncheckedDays);
    if (!uncheckedDays(days)) days = "30";
    view_.setChoice(only, days);
    start();
}

bool LinkCheckDialog::start() {
    if (!view_.onlyUnchecked()) {
        window_.startLinkCheck(view_);
        return true;
    }
    const auto days = uncheckedDays(view_.daysText());
    if (!days) {
        view_.setCounts("日数には 0 より大きい数を入れてください。");
        return false;
    }
    window_.startLinkCheck(view_, days);
    return true;
}

void LinkCheckDialog::Command3_Click() {
    if (window_.isCheckingLinks() || !start()) return;
    SettingsWriter& settings = window_.settings();
    settings.write(st::kLinkCheck, st::kUncheckedOnly,
                   st::CheckBoxSetting(view_.onlyUnchecked() ? 1 : 0));
    settings.write(st::kLinkCheck, st::kUncheckedDays, view_.daysText());
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
