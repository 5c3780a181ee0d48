#include <optional>
#include <ostream>

#include "app/Exports.h"
#include "cli/Command.h"
#include "cli/Output.h"
#include "cli/SearchArguments.h"
#include "core/Export.h"
#include "core/Paths.h"
#include "core/Settings.h"
#include "text/Utf8.h"

namespace brim::cli {
namespace {

class ExportCommand final : public Command {
  public:
    std::string_view name() const override { return "export"; }
    std::string_view synopsis() const override {
        return "html|csv|netscape [--output FILE|-] [--encoding utf-8|codepage] [search options] "
               "[TEXT]";
    }
    std::string_view summary() const override {
        return "writes the list, or a search result, as a page or file";
    }
    void define(VerbOptions& verb) override {
        verb.option("--output", output_,
                    "the file to create (default: on the Desktop); - for standard output");
        verb.option("--encoding", encoding_,
                    "csv only: utf-8 or codepage (default: as the export settings say)");
        search_.define(verb);
        // The format, then the search's words.
        takeOperands(verb, "FORMAT TEXT", 1, kAnyNumber);
    }

    int run(const Context& ctx) override {
        const auto format = app::exportFormatNamed(operands.front());
        if (!format) {
            return ctx.usage("unknown format " + operands.front() + ": html, csv or netscape",
                             *this);
        }
        if (encoding_ && *format != app::ExportFormat::Csv) {
            return ctx.usage("--encoding is for csv only", *this);
        }
        core::CsvEncoding encoding = core::LoadStoredHtmlOptions(ctx.profile).csvEncoding();
        if (encoding_ == "utf-8") {
            encoding = core::CsvEncoding::Utf8;
        } else if (encoding_ == "codepage") {
            encoding = core::CsvEncoding::CodePage;
        } else if (encoding_) {
            return ctx.usage("--encoding is utf-8 or codepage, not " + *encoding_, *this);
        }
        const std::vector<std::string> words(operands.begin() + 1, operands.end());
        std::string error;
        if (!search_.check(error)) return ctx.usage(error, *this);
        std::vector<core::ListRow> rows;
        if (!search_.run(ctx, words, [&](core::FavoriteItem&& item) {
                rows.push_back(
                    {std::move(item.name), std::move(item.folder), std::move(item.path)});
            })) {
            return ctx.favoritesUnreadable();
        }
        std::vector<std::string> paths;
        for (const auto& row : rows)
            paths.push_back(row.path);
        ctx.warnShownNames(paths);
        if (rows.empty()) return ctx.fail("the list is empty: nothing to export");

        const app::RenderedExport rendered =
            app::renderExport(*format, core::Exporter(ctx.catalog), rows, false,
                              {core::LoadHtmlOptions(ctx.profile), encoding});
        // On stderr, so that "--output -" stays the file alone.
        if (rendered.replaced > 0) {
            ctx.err << "brimmark-cli: " << rendered.replaced
                    << " characters the code page lacks were written as \"?\" "
                       "(--encoding utf-8 keeps them)\n";
        }
        const std::string& bytes = rendered.bytes;
        // "-" is the export itself as the output, with nothing around it.
        if (output_ == "-") {
            ctx.out << bytes;
            return kSuccess;
        }
        std::string output = output_.empty()
                                 ? ctx.services.folders->desktop() + app::proposedFileName(*format)
                                 : absoluteFromWorkingFolder(output_);
        if (const auto r = ctx.fs().createNewFile(output, bytes); !r) {
            return ctx.fail("cannot write " + output + ": " + core::describe(r));
        }
        if (ctx.json) {
            ctx.out << jsonObject({{"path", output}}) << '\n';
        } else {
            ctx.out << "wrote " << rows.size() << " favorites to " << utf8::visible(output) << '\n';
        }
        return kSuccess;
    }

  private:
    std::string output_;
    std::optional<std::string> encoding_;
    SearchArguments search_;
};

}  // namespace

std::unique_ptr<Command> makeExportCommand() {
    return std::make_unique<ExportCommand>();
}

}  // namespace brim::cli
