#include <nlohmann/json.hpp>

#include <ostream>

#include "cli/Command.h"
#include "cli/Output.h"
#include "core/import/Bookmarks.h"
#include "core/import/Sources.h"
#include "platform/BrowserProfiles.h"
#include "text/Utf8.h"

namespace brim::cli {
namespace {

namespace imp = core::import;

class ImportCommand final : public Command {
  public:
    std::string_view name() const override { return "import"; }
    std::string_view synopsis() const override {
        return "firefox|chromium|chrome|netscape [--profile P | FILE] [--into FOLDER] [--dry-run]";
    }
    std::string_view summary() const override {
        return "brings a browser's bookmarks in as favorites";
    }
    void define(VerbOptions& verb) override {
        verb.option("--profile", profile_, "the browser profile folder to read");
        verb.option("--into", into_, "the folder to import into (default: named after the source)");
        verb.flag("--dry-run", dryRun_, "only says what would be written");
        takeOperands(verb, "SOURCE [FILE]", 1, 2);
    }

    int run(const Context& ctx) override {
        const auto source = imp::SourceNamed(operands[0]);
        if (!source) return ctx.usage("unknown source " + operands[0], *this);
        const std::string file = operands.size() > 1 ? absoluteFromWorkingFolder(operands[1]) : "";
        if (!file.empty() && !profile_.empty()) {
            return ctx.usage("give --profile or a FILE, not both", *this);
        }
        const std::string profile = profile_.empty() ? "" : absoluteFromWorkingFolder(profile_);
        const imp::Located located =
            imp::LocateBookmarks(*source, ctx.fs(), *ctx.services.browsers, profile, file);
        if (located.file.empty()) return ctx.fail(located.error);
        const imp::ReadResult read = imp::ReadBookmarks(*source, ctx.fs(), located.file);
        // A store that cannot be read whole is not imported in part.
        if (!read.tree) {
            return ctx.fail("nothing imported from " + located.file + ": " + read.error);
        }
        const std::string into =
            into_.empty() ? "\\" + imp::DefaultFolderName(*source, located.file) + "\\" : into_;
        const imp::ImportSummary s = imp::ImportBookmarks(ctx.catalog, *read.tree, into, dryRun_);
        for (const auto& r : s.refused)
            ctx.fail("not imported: " + r.path + ": " + r.reason);
        if (ctx.json) {
            nlohmann::ordered_json doc{{"source", located.file},
                                       {"imported", s.imported},
                                       {"duplicates", s.duplicates},
                                       {"refused", s.refused.size()},
                                       {"files", s.written}};
            ctx.out << doc.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
        } else {
            printStrings(ctx.out, false, dryRun_ ? "Would write" : "Imported", s.written);
            ctx.out << "from " << utf8::visible(located.file) << ": " << s.imported
                    << (dryRun_ ? " to import, " : " imported, ") << s.duplicates
                    << " skipped as already there, " << s.refused.size() << " refused\n";
        }
        return s.refused.empty() ? kSuccess : kFailure;
    }

  private:
    std::string profile_;
    std::string into_;
    bool dryRun_ = false;
};

}  // namespace

std::unique_ptr<Command> makeImportCommand() {
    return std::make_unique<ImportCommand>();
}

}  // namespace brim::cli
