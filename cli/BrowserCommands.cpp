#include <ostream>

#include "cli/Command.h"
#include "cli/Output.h"
#include "core/Numbers.h"
#include "core/Pages.h"
#include "core/Sessions.h"
#include "platform/BrowserProfiles.h"
#include "platform/posix/SpawnOpener.h"

namespace brim::cli {
namespace {

class PagesCommand final : public Command {
  public:
    std::string_view name() const override { return "pages"; }
    std::string_view synopsis() const override { return ""; }
    std::string_view summary() const override { return "pages open in the browsers, as \"Get\""; }

    int run(const Context& ctx, std::span<const std::string> args) const override {
        if (!args.empty()) return ctx.usage("pages takes no arguments", *this);
        core::SessionPageSource source(ctx.fs, platform::makeBrowserProfiles());
        const auto pages = core::CapturePages(source.openPages());
        for (const auto& why : source.skipped())
            ctx.err << "brimmark-cli: skipped " << why << '\n';
        if (ctx.json) {
            ctx.out << '[';
            for (std::size_t i = 0; i < pages.size(); ++i) {
                ctx.out << (i ? ",\n " : "\n ") << "{\"title\":" << jsonString(pages[i].title)
                        << ",\"url\":" << jsonString(pages[i].url) << '}';
            }
            ctx.out << (pages.empty() ? "]\n" : "\n]\n");
            return kSuccess;
        }
        std::vector<std::vector<std::string>> rows;
        for (const auto& p : pages)
            rows.push_back({p.title, p.url});
        printTable(ctx.out, {"site", "URL"}, rows);
        ctx.out << core::CountCaption("サイト数:", static_cast<std::int64_t>(rows.size())) << '\n';
        return kSuccess;
    }
};

class OpenCommand final : public Command {
  public:
    std::string_view name() const override { return "open"; }
    std::string_view synopsis() const override { return "URL"; }
    std::string_view summary() const override { return "opens URL in the browser"; }

    int run(const Context& ctx, std::span<const std::string> args) const override {
        if (args.size() != 1 || args[0].empty()) return ctx.usage("open takes one address", *this);
        platform::SpawnOpener opener;
        const std::string failure = opener.open(args[0]);
        if (!failure.empty()) return ctx.fail("cannot open " + args[0] + ": " + failure);
        return kSuccess;
    }
};

}  // namespace

std::unique_ptr<Command> makePagesCommand() {
    return std::make_unique<PagesCommand>();
}
std::unique_ptr<Command> makeOpenCommand() {
    return std::make_unique<OpenCommand>();
}

}  // namespace brim::cli
