#pragma once
// Runs batches of profile calls through the Windows profile API under Wine:
// GetPrivateProfileStringA and WritePrivateProfileStringA, in code page 932,
// in a Wine prefix of its own inside a temporary folder.

#include <optional>
#include <string>
#include <vector>

namespace brim::conformance {

// One call of the API. Section, key, value and the results are bytes of the
// code page; `file` is a POSIX path.
struct ApiCall {
    enum class Kind { Read, Write } kind = Kind::Read;
    std::string file;
    std::string section;
    std::string key;
    std::string value;           // for a write
    unsigned bufferSize = 1024;  // for a read
};

struct ApiResult {
    bool parsed = false;      // the program understood the call
    unsigned long count = 0;  // a read's return value
    std::string bytes;        // a read's buffer up to its first NUL
    bool ok = false;          // a write's result
    unsigned long error = 0;  // GetLastError after a write
};

class WineProfile {
  public:
    // Why the suite cannot run here (no Wine, no Windows build of the
    // program), or nullopt when it can.
    static std::optional<std::string> unavailable();

    // Makes the private locale and prefix under `workDir` and starts the
    // server; throws std::runtime_error when Wine does not come up.
    explicit WineProfile(std::string workDir);
    // Stops the server it started.
    ~WineProfile();
    WineProfile(const WineProfile&) = delete;
    WineProfile& operator=(const WineProfile&) = delete;

    // All calls in one run of the program, in order.
    std::vector<ApiResult> run(const std::vector<ApiCall>& calls);

    // The ANSI code page the last run's calls were made in.
    unsigned codePage() const { return codePage_; }

    // Seconds spent making the prefix and starting the server, and in runs.
    double startSeconds() const { return startSeconds_; }
    double runSeconds() const { return runSeconds_; }

  private:
    std::string workDir_;
    unsigned codePage_ = 0;
    double startSeconds_ = 0;
    double runSeconds_ = 0;
};

// "Z:\…" for a POSIX path, the drive under which Wine shows the root.
std::string windowsPath(const std::string& posixPath);

}  // namespace brim::conformance
