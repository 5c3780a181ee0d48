#include "TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/Win32Text.h"
#else
#include <fcntl.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/IconvCodePage.h"
#endif

namespace brim::test {
namespace fs = std::filesystem;

#ifdef _WIN32

namespace {
unsigned int codePageNumber(const std::string& name) {
    if (name == "CP932" || name == "SHIFT_JIS") return 932;
    if (name == "EUC-JP") return 20932;
    if (name == "UTF-8") return CP_UTF8;
    throw std::runtime_error("no Windows code page for " + name);
}
}  // namespace

SystemCodePage::SystemCodePage(const std::string& name)
    : cp_(std::make_unique<platform::Win32CodePage>(codePageNumber(name))) {}

TempDir::TempDir() {
    wchar_t temp[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH) throw std::runtime_error("no temporary folder");
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring folder =
            std::wstring(temp, n) + L"brimmark-test-" + std::to_wstring(random());
        if (CreateDirectoryW(folder.c_str(), nullptr)) {
            path_ = platform::win32::narrow(folder) + "\\";
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    throw std::runtime_error("cannot make a temporary folder");
}

namespace {
// Both the C library's copy of the environment and the system's, which the
// wide API reads.
void setEnv(const char* name, const std::optional<std::string>& value) {
    _putenv_s(name, value ? value->c_str() : "");
    SetEnvironmentVariableW(platform::win32::widen(name).c_str(),
                            value ? platform::win32::widen(*value).c_str() : nullptr);
}
}  // namespace

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setEnv(name, value);
}

ScopedEnv::~ScopedEnv() {
    setEnv(name_, old_);
}

#else

SystemCodePage::SystemCodePage(const std::string& name)
    : cp_(std::make_unique<platform::IconvCodePage>(name)) {}

TempDir::TempDir() {
    std::string templ = (fs::temp_directory_path() / "brimmark-test-XXXXXX").string();
    if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
    path_ = templ + "/";
}

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
    if (old_) {
        setenv(name_, old_->c_str(), 1);
    } else {
        unsetenv(name_);
    }
}

TestMount::TestMount(const std::string& folder, Kind kind) : folder_(folder) {
    if (::geteuid() != 0) {
        why_ = "mounting a file system needs root";
        return;
    }
    const char* target = folder_.c_str();
    if (kind == SmallDisk) {
        mounted_ = ::mount("tmpfs", target, "tmpfs", 0, "size=64k,mode=0755") == 0;
    } else if (::mount(target, target, nullptr, MS_BIND, nullptr) == 0) {
        mounted_ = true;
        // A bind mount takes the read-only flag only when remounted.
        if (::mount(nullptr, target, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
            why_ = std::string("cannot make the view read-only: ") + std::strerror(errno);
            ::umount2(target, MNT_DETACH);
            mounted_ = false;
            return;
        }
    }
    if (!mounted_) why_ = std::string("cannot mount here: ") + std::strerror(errno);
}

TestMount::~TestMount() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
}

void TestMount::fill() {
    const std::string path = folder_ + "/.filler";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) throw std::runtime_error("cannot make the filler: " + path);
    // Blocks while they fit, then single bytes up to the last one.
    const std::string block(4096, 'x');
    while (::write(fd, block.data(), block.size()) == static_cast<ssize_t>(block.size())) {
    }
    while (::write(fd, block.data(), 1) == 1) {
    }
    ::close(fd);
}

void TestMount::free() {
    ::unlink((folder_ + "/.filler").c_str());
}

#endif

SystemCodePage::~SystemCodePage() = default;

TempDir::~TempDir() {
    std::error_code ec;
    // Give back write and search permission that a test took away (on
    // Windows: clear the read-only attribute), so that everything can be
    // removed.
    for (auto it = fs::recursive_directory_iterator(
             fsPath(path_), fs::directory_options::skip_permission_denied, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (!it->is_symlink(ec)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
    }
    fs::remove_all(fsPath(path_), ec);
}

void makeFolders(const std::string& path) {
    fs::create_directories(fsPath(path));
}

bool exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fsPath(path), ec);
}

void writeFile(const std::string& path, std::string_view bytes) {
    fs::create_directories(fsPath(path).parent_path());
    std::ofstream out(fsPath(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string readFile(const std::string& path) {
    std::ifstream in(fsPath(path), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string cp932(std::string_view utf8) {
    static const SystemCodePage codePage("CP932");
    const auto bytes = codePage.encode(utf8);
    if (!bytes) throw std::runtime_error("not encodable in CP932");
    return *bytes;
}

void writeShortcut(const std::string& path, std::string_view url, std::string_view comment) {
    std::string text = "[InternetShortcut]\r\nURL=" + cp932(url) + "\r\n";
    if (!comment.empty()) text += "[CommentKey]\r\nWords=" + cp932(comment) + "\r\n";
    writeFile(path, text);
}

platform::IoResult FolderTrash::moveToTrash(const std::string& path) {
    for (const auto& r : refuse) {
        if (r == path) return {platform::IoError::Denied, kDeniedCode};
    }
    std::error_code ec;
    fs::create_directories(fsPath(folder_), ec);
    fs::rename(fsPath(path), fsPath(folder_) / fsPath(path).filename(), ec);
    if (ec) return {platform::IoError::Other, ec.value()};
    return {};
}

TestFolders::TestFolders(const TempDir& dir) : base_(dir.path()) {}

}  // namespace brim::test
