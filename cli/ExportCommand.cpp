#include <chrono>
#include <ostream>

#include "cli/Command.h"
#include "cli/Output.h"
#include "core/Export.h"
#include "core/Paths.h"
#include "core/Settings.h"

namespace brim::cli {
namespace {

class ExportCommand final : public Command {
  public:
    std::string_view name() const override { return "export"; }
    std::string_view synopsis() const override {
        return "html|csv|netscape [--output FILE] [search options] [TEXT]";
    }
    std::string_view summary() const override {
        return "writes the list, or a search result, as a page or file";
    }

    int run(const Context& ctx, std::span<const std::string> args) const override {
        if (args.empty()) return ctx.usage("export needs a format", *this);
        const std::string format = args[0];
        if (format != "html" && format != "csv" && format != "netscape") {
            return ctx.usage("unknown format " + format, *this);
        }
        // --output is taken out before the search options are read.
        std::string output;
        std::vector<std::string> rest;
        for (std::size_t i = 1; i < args.size(); ++i) {
            if (args[i] == "--output") {
                if (++i == args.size()) return ctx.usage("--output needs a file", *this);
                output = args[i];
            } else {
                rest.push_back(args[i]);
            }
        }
        std::string error;
        const auto request = parseSearchRequest(ctx, rest, error);
        if (!request) return ctx.usage(error, *this);
        if (!request->unknownOptions.empty()) {
            return ctx.usage("unknown option " + request->unknownOptions.front(), *this);
        }
        std::vector<core::ListRow> rows;
        if (!runSearchRequest(ctx, *request, [&](core::FavoriteItem&& item) {
                rows.push_back({std::move(item.name), std::move(item.folder)});
            })) {
            return ctx.favoritesUnreadable();
        }
        if (rows.empty()) return ctx.fail("the list is empty: nothing to export");

        const core::Exporter exporter(ctx.catalog);
        std::string bytes;
        std::string defaultName;
        if (format == "html") {
            bytes = exporter.HtmlPage(rows, false, core::LoadHtmlOptions(ctx.profile));
            defaultName = "お気に入り一覧.html";
        } else if (format == "csv") {
            bytes = exporter.CsvFile(rows, false);
            defaultName = "お気に入り一覧.csv";
        } else {
            const auto now = std::chrono::duration_cast<std::chrono::seconds>(
                std::chrono::system_clock::now().time_since_epoch());
            bytes = exporter.NetscapeFile(rows, false, now.count());
            defaultName = "ブックマーク.html";
        }
        if (output.empty()) output = ctx.folders.desktop() + defaultName;
        if (output.front() != '/') output = core::FullPath(currentFolder(), output);
        if (const auto r = ctx.fs.createNewFile(output, bytes); !r) {
            return ctx.fail("cannot write " + output + ": " + core::describe(r));
        }
        if (ctx.json) {
            ctx.out << "{\"path\":" << jsonString(output) << "}\n";
        } else {
            ctx.out << "wrote " << rows.size() << " favorites to " << output << '\n';
        }
        return kSuccess;
    }
};

}  // namespace

std::unique_ptr<Command> makeExportCommand() {
    return std::make_unique<ExportCommand>();
}

}  // namespace brim::cli
