// A save ended at any moment by TerminateProcess, as Task Manager or a
// shutdown ends a program, leaves the favorite as it was or as saved: never
// torn, never missing; and the temporary file a killed save leaves is gone
// after the next save.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <random>

#include "CliTestSupport.h"
#include "platform/win32/Win32Text.h"

namespace brim::cli::test {
namespace {

// Starts the built program with `args`, its standard handles on NUL.
HANDLE startProgram(const std::vector<std::string>& args) {
    std::wstring command = commandLineOf(args);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul =
        CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = start.hStdOutput = start.hStdError = nul;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &start, &process);
    CloseHandle(nul);
    if (!started) return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(fsPath(folder)))
        names.push_back(utf8(e.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

// Addresses of one length, so that every whole file has the same shape.
std::string address(int i) {
    char text[32];
    std::snprintf(text, sizeof text, "http://example.com/%04d", i);
    return text;
}

TEST(KilledSave, TheFavoriteIsTheOldOrTheNewOneAndNoTemporaryStays) {
    TempDir dir;
    const std::string folder = dir / ("Favorites" + kSep);
    const std::string file = folder + "News.url";
    writeShortcut(file, address(0), "毎日");
    const auto save = [&](int i) {
        return std::vector<std::string>{"--favorites", folder,     "save",     "--name", "News",
                                        "--url",       address(i), "--folder", "\\"};
    };
    // A whole save, timed: the kills below fall across its length.
    const auto began = std::chrono::steady_clock::now();
    ASSERT_EQ(runProgram(save(1)).rc, 0);
    const auto length = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - began);
    const std::string whole = readFile(file);
    const auto savedWith = [&](int i) {
        std::string bytes = whole;
        bytes.replace(bytes.find(address(1)), address(1).size(), address(i));
        return bytes;
    };

    constexpr int kKills = 100;
    std::mt19937 random(20261207);
    int current = 1, old = 0, saved = 0, leftovers = 0;
    for (int i = 2; i < kKills + 2; ++i) {
        SCOPED_TRACE("kill " + std::to_string(i));
        // From at once to a little past a whole save's length.
        const auto delay =
            static_cast<DWORD>(length.count() * (i - 2) * 6 / (5 * kKills) + random() % 5);
        HANDLE process = startProgram(save(i));
        ASSERT_NE(process, nullptr);
        Sleep(delay);
        TerminateProcess(process, 9);
        WaitForSingleObject(process, INFINITE);
        CloseHandle(process);

        ASSERT_TRUE(exists(file)) << "after " << delay << " ms";
        const std::string now = readFile(file);
        if (now == savedWith(i)) {
            current = i;
            ++saved;
        } else {
            ASSERT_EQ(now, savedWith(current)) << "torn after " << delay << " ms";
            ++old;
        }
        leftovers += filesIn(folder).size() > 1;
    }
    std::cout << kKills << " kills within " << length.count() << " ms: " << old
              << " left the old file, " << saved << " the new one, " << leftovers
              << " a temporary file\n";

    // The next save takes away what killed saves left.
    ASSERT_EQ(runProgram(save(9999)).rc, 0);
    EXPECT_EQ(readFile(file), savedWith(9999));
    EXPECT_EQ(filesIn(folder), (std::vector<std::string>{"News.url"}));
}

}  // namespace
}  // namespace brim::cli::test
