#include "core/Profile.h"

#include <algorithm>
#include <array>

#include "core/ProfileEncoding.h"
#include "core/ProfileText.h"
#include "platform/NativePaths.h"
#include "platform/SystemError.h"
#include "text/Utf8.h"

namespace brim::core {

using platform::IoError;

std::string describe(const platform::IoResult& io) {
    switch (io.error) {
        case IoError::None:
            return "ok";
        case IoError::NotFound:
            return "the folder does not exist";
        case IoError::ReadOnly:
            return "the file is read-only";
        case IoError::NoSpace:
            return "the disk is full";
        case IoError::NotAFile:
            return "not a regular file";
        case IoError::TooLarge:
            return "the file is too large";
        case IoError::Exists:
            return "a file of that name exists";
        case IoError::Busy:
            return "another program is changing the favorite; try again";
        default:
            return io.sysError ? platform::systemErrorText(io.sysError) : "unknown error";
    }
}

std::string describe(const WriteStatus& status) {
    using Kind = WriteStatus::Kind;
    switch (status.kind) {
        case Kind::Ok:
            return "ok";
        case Kind::Unencodable:
            if (status.character.empty()) {
                return "the text holds characters " + status.encoding + " cannot store";
            }
            return "the character \"" + status.character + "\" cannot be stored in " +
                   status.encoding;
        case Kind::BadName:
            return "invalid section or key name";
        case Kind::ReadFailed:
            return "cannot read the file: " + describe(status.io);
        case Kind::WriteFailed:
            break;
    }
    return "cannot write the file: " + describe(status.io);
}

std::string oneLine(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') continue;  // CRLF: one blank
        out.push_back(c == '\r' || c == '\n' || c == '\0' ? ' ' : c);
    }
    return out;
}

namespace {

// The first character of `text` that `cp` cannot encode.
std::string firstUnencodable(std::string_view text, const platform::CodePage& cp) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t at = pos;
        static_cast<void>(utf8::next(text, pos));
        const std::string_view character = text.substr(at, pos - at);
        if (!cp.encode(character)) return std::string(character);
    }
    return {};
}

// A file's bytes as the profile reader scans them: UTF-16 made UTF-8, and
// the code page its keys and values are in.
struct ScannedBytes {
    std::string_view bytes;
    const platform::CodePage* cp;
    bool converted = false;
    ProfileBytes utf8;  // a UTF-16 file's text, when converted
    std::string_view text() const { return converted ? std::string_view(utf8.text) : bytes; }
};

ScannedBytes scanned(std::string_view bytes, const platform::CodePage& fileCodePage) {
    // Most files are in the code page and are scanned where they lie.
    const FileEncoding encoding = detectEncoding(bytes, fileCodePage);
    ScannedBytes s{
        bytes, encoding == FileEncoding::CodePage ? &fileCodePage : &utf8CodePage(), false, {}};
    if (encoding == FileEncoding::Utf16Le) {
        s.utf8 = openProfileBytes(bytes, true, fileCodePage);
        s.converted = true;
    }
    return s;
}

// The value of `key` in `section`, both spelled in the file's code page.
std::string valueOf(const ScannedBytes& file, const std::optional<std::string>& section,
                    const std::optional<std::string>& key) {
    if (!section || !key) return {};
    const auto value = findProfileValue(file.text(), *section, *key, *file.cp);
    return value ? file.cp->decode(*value) : std::string();
}

// A shortcut's address and comment, found in one pass over its text; names
// the code page cannot spell are in no file.
ShortcutValues shortcutValues(const ScannedBytes& file,
                              const std::optional<std::string>& urlSection,
                              const std::optional<std::string>& urlKey,
                              const std::optional<std::string>& commentSection,
                              const std::optional<std::string>& commentKey) {
    std::array<ProfileKey, 2> keys{};
    std::size_t n = 0;
    std::optional<std::string_view>*url = nullptr, *comment = nullptr;
    if (urlSection && urlKey) {
        keys[n] = {*urlSection, *urlKey, {}};
        url = &keys[n++].value;
    }
    if (commentSection && commentKey) {
        keys[n] = {*commentSection, *commentKey, {}};
        comment = &keys[n++].value;
    }
    findProfileValues(file.text(), std::span(keys.data(), n), *file.cp);
    const auto decoded = [&](const std::optional<std::string_view>* v) {
        return v && *v ? file.cp->decode(**v) : std::string();
    };
    return {decoded(url), decoded(comment)};
}

}  // namespace

Profile::Profile(platform::FileSystem& fs, const platform::CodePage& cp,
                 const platform::KnownFolders& folders)
    : fs_(fs),
      cp_(cp),
      folders_(folders),
      names_{cp.encode(kShortcutSection), cp.encode(kUrlKey), cp.encode(kCommentSection),
             cp.encode(kCommentKey)} {}

std::string Profile::valueIn(std::string_view bytes, std::string_view section,
                             std::string_view key) const {
    const ScannedBytes file = scanned(bytes, cp_);
    return valueOf(file, file.cp->encode(section), file.cp->encode(key));
}

ShortcutValues Profile::ShortcutIn(std::string_view bytes) const {
    // The encoding is told once for both values.
    const ScannedBytes file = scanned(bytes, cp_);
    if (file.cp != &cp_) {
        return shortcutValues(file, file.cp->encode(kShortcutSection), file.cp->encode(kUrlKey),
                              file.cp->encode(kCommentSection), file.cp->encode(kCommentKey));
    }
    return shortcutValues(file, names_.urlSection, names_.urlKey, names_.commentSection,
                          names_.commentKey);
}

std::string Profile::read(const std::string& path, std::string_view section,
                          std::string_view key) const {
    std::string bytes;
    if (!fs_.readFile(path, bytes)) return {};
    return valueIn(bytes, section, key);
}

WriteStatus Profile::write(const std::string& path, std::string_view section, std::string_view key,
                           std::string_view value) const {
    const ProfileChange change{section, key, value};
    return write(path, std::span(&change, 1));
}

WriteStatus Profile::write(const std::string& path, std::span<const ProfileChange> changes) const {
    // Read and replaced under the lock, so that another program's change of
    // another key made meanwhile is read and kept.
    const auto lock = fs_.lockForUpdate(path);
    if (lock.status.error == IoError::Busy)
        return {WriteStatus::Kind::WriteFailed, lock.status, {}, {}};
    return writeLocked(path, changes);
}

WriteStatus Profile::writeLocked(const std::string& path,
                                 std::span<const ProfileChange> changes) const {
    const auto bad = [](std::string_view name, std::string_view forbidden) {
        return name.empty() || name.find_first_of(forbidden) != std::string_view::npos;
    };
    for (const auto& c : changes) {
        if (bad(c.section, std::string_view("]\r\n\0", 4)) ||
            bad(c.key, std::string_view("=\r\n\0", 4))) {
            return {WriteStatus::Kind::BadName, {}, {}, {}};
        }
    }

    std::string old;
    const auto r = fs_.readFile(path, old);
    if (!r && r.error != IoError::NotFound) return {WriteStatus::Kind::ReadFailed, r, {}, {}};
    const bool existing = static_cast<bool>(r);
    ProfileBytes file = openProfileBytes(old, existing, cp_);
    old = std::string();
    const platform::CodePage& cp = scanCodePage(file, cp_);

    for (const auto& c : changes) {
        const auto s = cp.encode(c.section);
        const auto k = cp.encode(c.key);
        const std::string plain = c.value ? oneLine(*c.value) : std::string();
        const auto v = cp.encode(plain);
        if (!s || !k || !v) {
            const std::string_view failed = !s ? c.section : !k ? c.key : std::string_view(plain);
            return {WriteStatus::Kind::Unencodable,
                    {},
                    firstUnencodable(failed, cp),
                    encodingName(file.encoding, cp_)};
        }
        if (!c.value && existing) continue;
        file.text = setProfileValue(file.text, *s, *k, *v, cp);
    }
    const auto bytes = closeProfileBytes(file);
    if (!bytes) {
        return {WriteStatus::Kind::Unencodable, {}, {}, encodingName(file.encoding, cp_)};
    }
    if (const auto w = fs_.replaceFile(path, *bytes); !w) {
        return {WriteStatus::Kind::WriteFailed, w, {}, {}};
    }
    return {};
}

std::string Profile::ReadSetting(std::string_view section, std::string_view key) const {
    return read(folders_.settingsFile(), section, key);
}

WriteStatus Profile::WriteSetting(std::string_view section, std::string_view key,
                                  std::string_view value) const {
    const std::string file = folders_.settingsFile();
    // The settings may live in a folder of their own that the first write creates.
    const auto paths = platform::NativePaths::native();
    // Levels are made from the first one below the root on.
    const std::size_t first = std::max<std::size_t>(paths.rootLength(file), 1);
    const auto slash = paths.lastSeparator(file);
    if (slash != std::string::npos && slash >= first && !fs_.attributes(file.substr(0, slash))) {
        for (std::size_t at = first; at <= slash; ++at) {
            if (!paths.isSeparator(file[at])) continue;
            // A level that cannot be made shows in the write below.
            static_cast<void>(fs_.createFolder(file.substr(0, at)));
        }
    }
    return write(file, section, key, value);
}

std::string Profile::ReadShortcutUrl(const std::string& path) const {
    return read(path, kShortcutSection, kUrlKey);
}

WriteStatus Profile::WriteShortcutUrl(const std::string& path, std::string_view url) const {
    return write(path, kShortcutSection, kUrlKey, url);
}

std::string Profile::ReadShortcutComment(const std::string& path) const {
    return read(path, kCommentSection, kCommentKey);
}

ShortcutValues Profile::ReadShortcut(const std::string& path) const {
    std::string bytes;
    if (!fs_.readFile(path, bytes)) return {};
    return ShortcutIn(bytes);
}

WriteStatus Profile::WriteShortcutComment(const std::string& path, std::string_view comment) const {
    return write(path, kCommentSection, kCommentKey, comment);
}

}  // namespace brim::core
