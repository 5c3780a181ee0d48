#pragma once
// The other Windows services: the code page, case folding, known folders,
// the recycle bin and opening.

#include <string>

#include "platform/CaseMapper.h"
#include "platform/CodePage.h"
#include "platform/KnownFolders.h"
#include "platform/Opener.h"
#include "platform/SystemProxy.h"
#include "platform/Trash.h"

namespace brim::platform {

// A Windows code page (932 by default) through MultiByteToWideChar and
// WideCharToMultiByte.
class Win32CodePage final : public CodePage {
  public:
    explicit Win32CodePage(unsigned int codePage = 932);
    std::string decode(std::string_view bytes) const override;
    std::optional<std::string> encode(std::string_view utf8) const override;
    bool isValid(std::string_view bytes) const override;
    bool isLeadByte(unsigned char byte) const override;
    std::string name() const override;

  private:
    unsigned int cp_;
};

// Upper case of the user's locale through LCMapStringEx.
class Win32CaseMapper final : public CaseMapper {
  public:
    char32_t upper(char32_t c) const override;
};

// The user's folders through SHGetKnownFolderPath. The settings live in
// "%APPDATA%\Brimmark\" unless a "Brimmark.ini" lies beside the program.
class Win32KnownFolders final : public KnownFolders {
  public:
    // The running program's folder.
    Win32KnownFolders();
    // For tests: a program in another folder.
    explicit Win32KnownFolders(std::string programFolder);

    std::string favorites() const override;
    std::string desktop() const override;
    std::string sendTo() const override;
    std::string programFolder() const override { return programFolder_; }
    std::string settingsFile() const override;
    std::string cacheFolder() const override;
    // "%LOCALAPPDATA%\Brimmark\": results kept on this machine, not roamed.
    std::string stateFolder() const override;
    // The Start menu's "Programs" folder, for the program's own entry.
    std::string programs() const;

  private:
    std::string programFolder_;
};

// The recycle bin through SHFileOperationW with undo.
class RecycleBin final : public Trash {
  public:
    IoResult moveToTrash(const std::string& path) override;
};

// ShellExecuteExW; a failure is reported with the system's message.
class ShellOpener final : public Opener {
  public:
    std::string open(const std::string& target) override;
};

// Internet Options' proxies through WinHttpGetIEProxyConfigForCurrentUser;
// its automatic detection and configuration script are left out.
class WinHttpSystemProxy final : public SystemProxySource {
  public:
    SystemProxy current() const override;
};

}  // namespace brim::platform
