#include <optional>
#include <ostream>

#include "cli/Command.h"
#include "cli/Output.h"
#include "core/Editing.h"
#include "text/Utf8.h"

namespace brim::cli {
namespace {

class SaveCommand final : public Command {
  public:
    std::string_view name() const override { return "save"; }
    std::string_view synopsis() const override {
        return "[--name N] [--url U] [--comment C] [--folder F]";
    }
    std::string_view summary() const override { return "writes a favorite as \"保存\" does"; }
    void define(VerbOptions& verb) override {
        verb.option("--name", name_, "the favorite's name");
        verb.option("--url", url_, "its address (omitted: the stored one stays)");
        verb.option("--comment", comment_, "its comment (omitted: the stored one stays)");
        verb.option("--folder", folder_, "the folder label, such as \\Links\\");
    }

    int run(const Context& ctx) override {
        if (!name_ && !url_) {
            return ctx.usage("save needs --name or --url", *this);
        }
        core::SaveRequest request;
        request.name = name_.value_or("");
        request.folder = folder_;
        // Only what the command line gives is changed; the rest keeps what
        // the file holds.
        request.url = url_;
        request.comment = comment_;
        const core::SaveResult r = core::Savefiles(ctx.catalog, request);
        if (r.kind == core::SaveResult::Kind::NoName) {
            return ctx.fail("a favorite needs a name or an address");
        }
        if (r.kind == core::SaveResult::Kind::BadName) {
            return ctx.fail("\"" + r.fileName +
                            "\" cannot be a favorite's name (it holds \\ or /)");
        }
        if (r.kind == core::SaveResult::Kind::HiddenName) {
            return ctx.fail("\"" + r.fileName +
                            "\" would be hidden (it starts with \".\") and never listed");
        }
        if (!r) return ctx.fail("cannot save " + r.path + ": " + core::describe(r.status));
        if (ctx.json) {
            ctx.out << jsonObject({{"path", r.path}}) << '\n';
        } else {
            ctx.out << "saved " << utf8::visible(r.path) << '\n';
        }
        return kSuccess;
    }

  private:
    std::optional<std::string> name_, url_, comment_;
    std::string folder_;
};

}  // namespace

std::unique_ptr<Command> makeSaveCommand() {
    return std::make_unique<SaveCommand>();
}

}  // namespace brim::cli
