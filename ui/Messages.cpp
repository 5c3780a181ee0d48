#include "ui/Messages.h"

#include <cstring>

namespace brim::ui {

QString reasonText(const platform::IoResult& io) {
    using platform::IoError;
    switch (io.error) {
        case IoError::None:
            return {};
        case IoError::NotFound:
            return QStringLiteral("フォルダまたはファイルが見つかりません。");
        case IoError::ReadOnly:
            return QStringLiteral("ファイルが読み取り専用です。");
        case IoError::Denied:
            return QStringLiteral("アクセスが拒否されました。");
        case IoError::NoSpace:
            return QStringLiteral("ディスクに空きがありません。");
        case IoError::NotAFile:
            return QStringLiteral("ファイルではありません。");
        case IoError::TooLarge:
            return QStringLiteral("ファイルが大きすぎます。");
        case IoError::Exists:
            return QStringLiteral("同じ名前のファイルがすでにあります。");
        case IoError::Busy:
            return QStringLiteral(
                "ほかのプログラムがこのファイルを変更中です。しばらくしてからやり直してください。");
        case IoError::Other:
            break;
    }
    return QStringLiteral("エラーが発生しました（%1）。")
        .arg(QString::fromLocal8Bit(std::strerror(io.sysError)));
}

QString reasonText(const core::WriteStatus& status) {
    using Kind = core::WriteStatus::Kind;
    switch (status.kind) {
        case Kind::Ok:
            return {};
        case Kind::Unencodable:
            if (status.character.empty()) {
                return QStringLiteral("ファイルに書けない文字が含まれています。");
            }
            return QStringLiteral("「%1」はこのファイルの文字コード（%2）で保存できない文字です。")
                .arg(QString::fromStdString(status.character),
                     QString::fromStdString(status.encoding));
        case Kind::BadName:
            return QStringLiteral("名前が正しくありません。");
        case Kind::ReadFailed:
            return QStringLiteral("ファイルを読めませんでした: ") + reasonText(status.io);
        case Kind::WriteFailed:
            break;
    }
    return reasonText(status.io);
}

}  // namespace brim::ui
