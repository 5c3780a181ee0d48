#include <ostream>

#include "cli/Command.h"
#include "cli/Output.h"
#include "core/Duplicates.h"
#include "text/Utf8.h"

namespace brim::cli {
namespace {

class DuplicatesCommand final : public Command {
  public:
    std::string_view name() const override { return "duplicates"; }
    std::string_view synopsis() const override { return ""; }
    std::string_view summary() const override {
        return "favorites whose addresses lead to the same page, in groups";
    }
    void define(VerbOptions&) override {}

    int run(const Context& ctx) override {
        std::vector<core::FavoriteItem> rows;
        if (!ctx.catalog.allFavorites(rows, ctx.problemReporter())) {
            return ctx.favoritesUnreadable();
        }
        const auto groups = core::GroupDuplicates(std::move(rows));
        std::vector<std::string> paths;
        if (ctx.json) ctx.out << '[';
        for (std::size_t n = 0; n < groups.size(); ++n) {
            const auto& g = groups[n];
            std::vector<std::vector<std::string>> cells;
            if (ctx.json) {
                ctx.out << (n ? ",\n " : "\n ") << "{\"address\":" << jsonString(g.address)
                        << ",\"favorites\":[";
            } else if (n) {
                ctx.out << '\n';
            }
            for (std::size_t i = 0; i < g.favorites.size(); ++i) {
                const auto& f = g.favorites[i];
                paths.push_back(f.path);
                if (ctx.json) {
                    ctx.out << (i ? "," : "")
                            << jsonObject({{"folder", f.folder},
                                           {"name", f.name},
                                           {"url", f.url},
                                           {"path", f.path}});
                } else {
                    cells.push_back({f.name, f.folder, f.url});
                }
            }
            if (ctx.json) {
                ctx.out << "]}";
            } else {
                ctx.out << utf8::visible(g.address) << '\n';
                printTable(ctx.out, {"Name", "Folder", "URL"}, cells);
            }
        }
        if (ctx.json) {
            ctx.out << (groups.empty() ? "]\n" : "\n]\n");
        } else if (groups.empty()) {
            ctx.out << "no two favorites lead to the same page\n";
        } else {
            ctx.out << '\n'
                    << groups.size() << (groups.size() == 1 ? " group, " : " groups, ")
                    << paths.size() << " favorites\n";
        }
        ctx.warnShownNames(paths);
        return kSuccess;
    }
};

}  // namespace

std::unique_ptr<Command> makeDuplicatesCommand() {
    return std::make_unique<DuplicatesCommand>();
}

}  // namespace brim::cli
