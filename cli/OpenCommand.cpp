
#include "cli/Command.h"
#include "core/Opening.h"

namespace brim::cli {
namespace {

class OpenCommand final : public Command {
  public:
    std::string_view name() const override { return "open"; }
    std::string_view synopsis() const override { return "[--yes] URL"; }
    std::string_view summary() const override {
        return "opens URL in the browser (other than http, https, ftp and mailto after a question)";
    }
    void define(VerbOptions& verb) override {
        verb.flag("--yes", yes_, "opens any address without asking");
        takeOperands(verb, "URL", 1, 1);
    }

    int run(const Context& ctx) override {
        const std::string& url = operands.front();
        if (url.empty()) return ctx.usage("open needs an address", *this);
        // An address such as javascript: or a program's own scheme may run
        // something; the user sees it and agrees first.
        if (!yes_ && !core::OpensWithoutAsking(url)) {
            if (!ctx.questions) {
                return ctx.fail("not opening " + url +
                                " without asking: give --yes to open it anyway");
            }
            if (!ctx.confirm("Open " + url + " ?")) return kSuccess;
        }
        const std::string failure = ctx.services.opener->open(url);
        if (!failure.empty()) return ctx.fail("cannot open " + url + ": " + failure);
        return kSuccess;
    }

  private:
    bool yes_ = false;
};

}  // namespace

std::unique_ptr<Command> makeOpenCommand() {
    return std::make_unique<OpenCommand>();
}

}  // namespace brim::cli
