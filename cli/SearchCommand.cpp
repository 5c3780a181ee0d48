#include <ostream>

#include "cli/Command.h"
#include "cli/Output.h"
#include "core/Search.h"
#include "platform/posix/LocaleCaseMapper.h"

namespace brim::cli {

std::optional<SearchRequest> parseSearchRequest(const Context& ctx,
                                                std::span<const std::string> args,
                                                std::string& error) {
    SearchRequest r;
    r.options = core::LoadSearchOptions(ctx.profile).options();
    std::vector<std::string> words;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || !a.starts_with("--")) {
            words.push_back(a);
        } else if (a == "--") {
            optionsEnded = true;
        } else if (a == "--and" || a == "--or") {
            r.options.anyKeyword = a == "--or";
        } else if (a == "--ignore-case" || a == "--case-sensitive") {
            r.options.foldCase = a == "--ignore-case";
        } else if (a == "--fields") {
            if (++i == args.size()) {
                error = "--fields needs a list such as folder,name,url,comment";
                return std::nullopt;
            }
            core::SearchFields f{0, 0, 0, 0};
            std::string_view list = args[i];
            while (!list.empty()) {
                const auto comma = list.find(',');
                const std::string_view field = list.substr(0, comma);
                if (field == "folder") {
                    f.folder = 1;
                } else if (field == "name") {
                    f.name = 1;
                } else if (field == "url") {
                    f.address = 1;
                } else if (field == "comment") {
                    f.comment = 1;
                } else {
                    error = "unknown field " + std::string(field);
                    return std::nullopt;
                }
                list = comma == std::string_view::npos ? "" : list.substr(comma + 1);
            }
            r.options.fields = f;
        } else {
            r.unknownOptions.push_back(a);
        }
    }
    for (std::size_t i = 0; i < words.size(); ++i)
        r.text += (i ? " " : "") + words[i];
    return r;
}

bool runSearchRequest(const Context& ctx, const SearchRequest& r, const core::RowSink& add) {
    const auto& catalog = ctx.catalog;
    if (r.text.empty()) return catalog.ListDir(catalog.FavoritesRoot(), add, ctx.problemReporter());
    const platform::LocaleCaseMapper mapper;
    const core::Search search(catalog, mapper);
    return search.SearchDir(catalog.FavoritesRoot(), core::SplitKeywords(r.text), r.options, add,
                            ctx.problemReporter());
}

namespace {

class SearchCommand final : public Command {
  public:
    std::string_view name() const override { return "search"; }
    std::string_view synopsis() const override {
        return "[--and|--or] [--fields folder,name,url,comment] [--ignore-case|--case-sensitive] "
               "TEXT";
    }
    std::string_view summary() const override {
        return "favorites holding the keywords (an empty TEXT lists all)";
    }

    int run(const Context& ctx, std::span<const std::string> args) const override {
        std::string error;
        const auto request = parseSearchRequest(ctx, args, error);
        if (!request) return ctx.usage(error, *this);
        if (!request->unknownOptions.empty()) {
            return ctx.usage("unknown option " + request->unknownOptions.front(), *this);
        }
        return ctx.printFavorites(
            [&](const core::RowSink& add) { return runSearchRequest(ctx, *request, add); });
    }
};

class SameCommand final : public Command {
  public:
    std::string_view name() const override { return "same"; }
    std::string_view synopsis() const override { return "URL"; }
    std::string_view summary() const override { return "favorites whose address contains URL"; }

    int run(const Context& ctx, std::span<const std::string> args) const override {
        if (args.size() != 1) return ctx.usage("same takes one address", *this);
        const platform::LocaleCaseMapper mapper;
        const core::Search search(ctx.catalog, mapper);
        const auto options = core::LoadSearchOptions(ctx.profile).options();
        return ctx.printFavorites([&](const core::RowSink& add) {
            return search.Same(args[0], options, add, ctx.problemReporter());
        });
    }
};

}  // namespace

std::unique_ptr<Command> makeSearchCommand() {
    return std::make_unique<SearchCommand>();
}
std::unique_ptr<Command> makeSameCommand() {
    return std::make_unique<SameCommand>();
}

}  // namespace brim::cli
