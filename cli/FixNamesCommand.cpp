#include <ostream>

#include "cli/Command.h"
#include "cli/Output.h"
#include "core/Editing.h"
#include "text/Utf8.h"

namespace brim::cli {
namespace {

class FixNamesCommand final : public Command {
  public:
    std::string_view name() const override { return "fix-names"; }
    std::string_view synopsis() const override { return "[--dry-run]"; }
    std::string_view summary() const override { return "renames names in the code page to UTF-8"; }
    void define(VerbOptions& verb) override {
        verb.flag("--dry-run", dryRun_, "only lists what would be renamed");
    }

    int run(const Context& ctx) override {
        if (!ctx.fs().attributes(ctx.catalog.FavoritesRoot())) return ctx.favoritesUnreadable();
        const auto fixes = core::FixNames(ctx.catalog, dryRun_);
        std::vector<std::vector<std::string>> cells;
        std::vector<std::pair<std::string, std::string>> json;
        int rc = kSuccess;
        for (const auto& f : fixes) {
            std::string result;
            switch (f.kind) {
                case core::NameFix::Kind::Renamed:
                    result = dryRun_ ? "would rename" : "renamed";
                    break;
                case core::NameFix::Kind::Clash:
                    result = "clash";
                    rc = ctx.fail("not renamed, the UTF-8 name is taken: " + f.shown);
                    break;
                case core::NameFix::Kind::Undecodable:
                    result = "undecodable";
                    ctx.err << "brimmark-cli: " << utf8::visible(f.shown)
                            << " is in no known encoding; rename it in a file manager\n";
                    break;
                case core::NameFix::Kind::Failed:
                    result = "failed";
                    rc = ctx.fail("cannot rename " + f.shown + ": " + core::describe(f.io));
                    break;
            }
            cells.push_back({f.shown, result});
            json.emplace_back(f.shown, result);
        }
        if (ctx.json) {
            ctx.out << '[';
            for (std::size_t i = 0; i < json.size(); ++i) {
                ctx.out << (i ? ",\n " : "\n ")
                        << jsonObject({{"path", json[i].first}, {"result", json[i].second}});
            }
            ctx.out << (json.empty() ? "]\n" : "\n]\n");
        } else if (fixes.empty()) {
            ctx.out << "every name is UTF-8\n";
        } else {
            printTable(ctx.out, {"Name", "Result"}, cells);
        }
        return rc;
    }

  private:
    bool dryRun_ = false;
};

}  // namespace

std::unique_ptr<Command> makeFixNamesCommand() {
    return std::make_unique<FixNamesCommand>();
}

}  // namespace brim::cli
