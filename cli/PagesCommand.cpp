#include <ostream>

#include "cli/Command.h"
#include "cli/Output.h"
#include "core/Numbers.h"
#include "core/Pages.h"

namespace brim::cli {
namespace {

class PagesCommand final : public Command {
  public:
    std::string_view name() const override { return "pages"; }
    std::string_view synopsis() const override { return ""; }
    std::string_view summary() const override { return "pages open in the browsers, as \"Get\""; }
    void define(VerbOptions&) override {}

    int run(const Context& ctx) override {
        const auto pages = core::CapturePages(ctx.services.pages->openPages());
        for (const auto& why : ctx.services.pages->skipped())
            ctx.fail("skipped " + why);
        if (ctx.json) {
            ctx.out << '[';
            for (std::size_t i = 0; i < pages.size(); ++i) {
                ctx.out << (i ? ",\n " : "\n ")
                        << jsonObject({{"title", pages[i].title}, {"url", pages[i].url}});
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

}  // namespace

std::unique_ptr<Command> makePagesCommand() {
    return std::make_unique<PagesCommand>();
}

}  // namespace brim::cli
