#include <charconv>
#include <chrono>
#include <map>
#include <ostream>

#include "cli/Command.h"
#include "cli/Output.h"
#include "cli/SearchArguments.h"
#include "core/LinkCheck.h"
#include "core/LinkState.h"
#include "core/Numbers.h"
#include "core/Paths.h"

namespace brim::cli {
namespace {

// The exit status when a favorite's page is gone.
constexpr int kSomethingGone = 3;

// A whole number of at least 1, or a number of seconds or days above 0.
template <typename T>
std::optional<T> positive(const std::optional<std::string>& text) {
    T value{};
    const char* end = text->data() + text->size();
    const auto [at, ec] = std::from_chars(text->data(), end, value);
    if (ec != std::errc() || at != end || !(value > T{})) return std::nullopt;
    return value;
}

class CheckCommand final : public Command {
  public:
    std::string_view name() const override { return "check"; }
    std::string_view synopsis() const override {
        return "[--per-host N] [--jobs N] [--timeout SECONDS] [--unchecked-for DAYS] "
               "[search options] [TEXT...]";
    }
    std::string_view summary() const override {
        return "checks whether the favorites' addresses still lead to a page";
    }
    void define(VerbOptions& verb) override {
        verb.option("--per-host", perHost_, "connections to one host at once (default: 2)");
        verb.option("--jobs", jobs_, "connections in all (default: 16)");
        verb.option("--timeout", timeout_, "seconds each request may take (default: 20)");
        verb.option("--unchecked-for", days_,
                    "only the favorites not checked in the last DAYS days");
        search_.define(verb);
        takeOperands(verb, "TEXT", 0, kAnyNumber);
    }

    int run(const Context& ctx) override {
        core::LinkCheckOptions options;
        if (const auto* proxy = ctx.services.proxy.get())
            options.systemProxies = [proxy] { return proxy->current(); };
        std::optional<double> days;
        if (perHost_) {
            const auto n = positive<int>(perHost_);
            if (!n) return ctx.usage("--per-host needs a whole number of 1 or more", *this);
            options.perHost = *n;
        }
        if (jobs_) {
            const auto n = positive<int>(jobs_);
            if (!n) return ctx.usage("--jobs needs a whole number of 1 or more", *this);
            options.jobs = *n;
        }
        if (timeout_) {
            const auto s = positive<double>(timeout_);
            if (!s || *s > 86400) return ctx.usage("--timeout needs seconds above 0", *this);
            options.timeout = std::chrono::milliseconds(static_cast<long long>(*s * 1000 + 0.5));
        }
        if (days_) {
            days = positive<double>(days_);
            if (!days) return ctx.usage("--unchecked-for needs a number of days above 0", *this);
        }
        std::string error;
        if (!search_.check(error)) return ctx.usage(error, *this);

        std::vector<core::FavoriteItem> rows;
        if (!search_.run(ctx, operands,
                         [&](core::FavoriteItem&& row) { rows.push_back(std::move(row)); })) {
            return ctx.favoritesUnreadable();
        }
        std::vector<std::string> paths;
        for (const auto& row : rows)
            paths.push_back(row.path);
        ctx.warnShownNames(paths);

        const std::string folder = ctx.services.folders->stateFolder();
        const std::string stateFile = folder.empty() ? "" : core::LinkState::fileIn(folder);
        const std::int64_t now = core::SecondsNow();
        if (days && !stateFile.empty()) {
            const auto kept = core::LinkState::read(ctx.fs(), stateFile);
            std::erase_if(rows, [&](const core::FavoriteItem& row) {
                return kept.checkedWithin(row.url, now, *days);
            });
        }

        // Each address once, however many favorites lead to it.
        std::vector<std::string> urls;
        std::map<std::string, std::size_t> indexOf;
        for (const auto& row : rows) {
            if (indexOf.emplace(row.url, urls.size()).second) urls.push_back(row.url);
        }
        const auto results = core::LinkChecker(options).check(urls);

        core::LinkState state;
        for (std::size_t i = 0; i < urls.size(); ++i)
            state.record(urls[i], *results[i], now);
        if (!stateFile.empty()) {
            if (const auto r = state.save(ctx.fs(), stateFile); !r) {
                ctx.fail("cannot keep the results in " + stateFile + ": " + core::describe(r));
            }
        }
        return print(ctx, rows, [&](const core::FavoriteItem& row) -> const core::LinkResult& {
            return *results[indexOf.at(row.url)];
        });
    }

  private:
    template <typename ResultOf>
    int print(const Context& ctx, const std::vector<core::FavoriteItem>& rows,
              const ResultOf& resultOf) const {
        std::array<std::size_t, core::kLinkStatusCount> counts{};
        std::vector<std::vector<std::string>> cells;
        if (ctx.json) ctx.out << '[';
        for (const auto& row : rows) {
            const core::LinkResult& r = resultOf(row);
            ++counts[static_cast<std::size_t>(r.status)];
            const std::string status(core::linkStatusName(r.status));
            if (ctx.json) {
                ctx.out << (&row == &rows.front() ? "\n " : ",\n ")
                        << "{\"folder\":" << jsonString(row.folder)
                        << ",\"name\":" << jsonString(row.name)
                        << ",\"url\":" << jsonString(row.url)
                        << ",\"path\":" << jsonString(row.path)
                        << ",\"status\":" << jsonString(status) << ",\"code\":" << r.code
                        << ",\"location\":" << jsonString(r.location) << '}';
            } else {
                cells.push_back({status, r.code ? std::to_string(r.code) : "", row.name, row.folder,
                                 row.url, r.location});
            }
        }
        if (ctx.json) {
            ctx.out << (rows.empty() ? "]\n" : "\n]\n");
        } else {
            printTable(ctx.out, {"Status", "Code", "Name", "Folder", "URL", "Location"}, cells);
            std::string line;
            for (std::size_t s = 0; s < counts.size(); ++s) {
                if (!counts[s]) continue;
                line += (line.empty() ? "" : ", ") +
                        std::string(core::linkStatusName(static_cast<core::LinkStatus>(s))) + " " +
                        std::to_string(counts[s]);
            }
            ctx.out << (line.empty() ? "nothing to check" : line) << '\n';
        }
        return counts[static_cast<std::size_t>(core::LinkStatus::Gone)] ? kSomethingGone : kSuccess;
    }

    std::optional<std::string> perHost_, jobs_, timeout_, days_;
    SearchArguments search_;
};

}  // namespace

std::unique_ptr<Command> makeCheckCommand() {
    return std::make_unique<CheckCommand>();
}

}  // namespace brim::cli
