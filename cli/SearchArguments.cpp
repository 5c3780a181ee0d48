#include "cli/SearchArguments.h"

namespace brim::cli {

std::optional<core::SearchFields> parseFields(std::string_view list) {
    core::SearchFields f{0, 0, 0, 0};
    if (list.empty()) return std::nullopt;
    while (true) {
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
            return std::nullopt;
        }
        if (comma == std::string_view::npos) return f;
        list.remove_prefix(comma + 1);
    }
}

void SearchArguments::define(VerbOptions& verb) {
    verb.eitherFlag("--and", all_, "every keyword must occur", "--or", any_,
                    "any keyword may occur");
    verb.eitherFlag("--ignore-case", ignoreCase_, "upper and lower case match", "--case-sensitive",
                    caseSensitive_, "case must match");
    verb.option("--fields", fields_, "where to look: folder,name,url,comment");
}

bool SearchArguments::check(std::string& error) const {
    if (fields_ && !parseFields(*fields_)) {
        error = "--fields needs a list of folder, name, url and comment, not \"" + *fields_ + "\"";
        return false;
    }
    return true;
}

core::SearchOptions SearchArguments::options(const core::Profile& profile) const {
    core::SearchOptions o = core::LoadSearchOptions(profile).options();
    if (all_ || any_) o.anyKeyword = any_;
    if (ignoreCase_ || caseSensitive_) o.foldCase = ignoreCase_;
    if (fields_) {
        if (const auto f = parseFields(*fields_)) o.fields = *f;
    }
    return o;
}

bool SearchArguments::run(const Context& ctx, const std::vector<std::string>& words,
                          const core::RowSink& add) const {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i)
        text += (i ? " " : "") + words[i];
    const auto& catalog = ctx.catalog;
    const core::WalkControl control{core::machineThreads()};
    if (text.empty())
        return catalog.ListDir(catalog.FavoritesRoot(), add, ctx.problemReporter(), control);
    const core::Search search(catalog, *ctx.services.caseMapper);
    return search.SearchDir(catalog.FavoritesRoot(), core::SplitKeywords(text),
                            options(ctx.profile), add, ctx.problemReporter(), control);
}

}  // namespace brim::cli
