#include "app/Messages.h"

#include <new>
#include <system_error>

#include "platform/SystemError.h"

namespace brim::app {

std::string reasonText(const platform::IoResult& io) {
    using platform::IoError;
    switch (io.error) {
        case IoError::None:
            return {};
        case IoError::NotFound:
            return "フォルダまたはファイルが見つかりません。";
        case IoError::ReadOnly:
            return "ファイルが読み取り専用です。";
        case IoError::Denied:
            return "アクセスが拒否されました。";
        case IoError::NoSpace:
            return "ディスクに空きがありません。";
        case IoError::NotAFile:
            return "ファイルではありません。";
        case IoError::TooLarge:
            return "ファイルが大きすぎます。";
        case IoError::Exists:
            return "同じ名前のファイルがすでにあります。";
        case IoError::Busy:
            return "ほかのプログラムがこのファイルを変更中です。しばらくしてからやり直してください"
                   "。";
        case IoError::Other:
            break;
    }
    return std::string("エラーが発生しました（") + platform::systemErrorText(io.sysError) + "）。";
}

std::string reasonText(const core::WriteStatus& status) {
    using Kind = core::WriteStatus::Kind;
    switch (status.kind) {
        case Kind::Ok:
            return {};
        case Kind::Unencodable:
            if (status.character.empty()) return "ファイルに書けない文字が含まれています。";
            return "「" + status.character + "」はこのファイルの文字コード（" + status.encoding +
                   "）で保存できない文字です。";
        case Kind::BadName:
            return "名前が正しくありません。";
        case Kind::ReadFailed:
            return "ファイルを読めませんでした: " + reasonText(status.io);
        case Kind::WriteFailed:
            break;
    }
    return reasonText(status.io);
}

std::string fillFailedText(const std::exception_ptr& reason) {
    std::string why;
    try {
        std::rethrow_exception(reason);
    } catch (const std::bad_alloc&) {
        why = "メモリが足りません。";
    } catch (const std::system_error& e) {
        // Only the system's own codes have its message; others keep their number.
        const auto& category = e.code().category();
#ifdef _WIN32
        const bool native = category == std::system_category();
#else
        const bool native =
            category == std::system_category() || category == std::generic_category();
#endif
        why = native ? reasonText(platform::IoResult{platform::IoError::Other, e.code().value()})
                     : "エラーが発生しました（" + std::to_string(e.code().value()) + "）。";
    } catch (...) {
        why = "予期しないエラーが発生しました。";
    }
    return "一覧を作れませんでした: " + why + "\n見つかった分だけを表示しています。";
}

std::string shownNamesText(const core::ShownNameCount::Counts& counts,
                           const std::string& codePage) {
    std::string text;
    if (counts.decoded > 0) {
        text += codePage + " の名前 " + std::to_string(counts.decoded) +
                " 件を読み替えて表示しました。\n「ファイル > " + kFixNamesCaption +
                "」で UTF-8 の名前に直せます。";
    }
    if (counts.replaced > 0) {
        if (!text.empty()) text += "\n";
        text += "読めない文字を含む名前 " + std::to_string(counts.replaced) +
                " 件は「\uFFFD」を入れて表示しました。\nファイルマネージャーで名前を付け直して"
                "ください。";
    }
    return text;
}

}  // namespace brim::app
