#include "app/Messages.h"

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
