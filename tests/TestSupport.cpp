#include "TestSupport.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/posix/IconvCodePage.h"

namespace brim::test {
namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string templ = (fs::temp_directory_path() / "brimmark-test-XXXXXX").string();
    if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
    path_ = templ + "/";
}

TempDir::~TempDir() {
    std::error_code ec;
    // Give back write and search permission that a test took away, so that
    // everything can be removed.
    for (auto it = fs::recursive_directory_iterator(
             path_, fs::directory_options::skip_permission_denied, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (!it->is_symlink(ec)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
    }
    fs::remove_all(path_, ec);
}

void makeFolders(const std::string& path) {
    fs::create_directories(path);
}

void writeFile(const std::string& path, std::string_view bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string cp932(std::string_view utf8) {
    static const platform::IconvCodePage codePage("CP932");
    const auto bytes = codePage.encode(utf8);
    if (!bytes) throw std::runtime_error("not encodable in CP932");
    return *bytes;
}

void writeShortcut(const std::string& path, std::string_view url, std::string_view comment) {
    std::string text = "[InternetShortcut]\r\nURL=" + cp932(url) + "\r\n";
    if (!comment.empty()) text += "[CommentKey]\r\nWords=" + cp932(comment) + "\r\n";
    writeFile(path, text);
}

TestFolders::TestFolders(const TempDir& dir) : base_(dir.path()) {}

}  // namespace brim::test
