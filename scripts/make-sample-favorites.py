#!/usr/bin/env python3
"""Writes the bundled sample Favorites tree (examples/Favorites) anew.

Each favorite is an Internet Shortcut in CP932 with CRLF lines, as Windows
browsers write them; most carry a comment in the [CommentKey] section."""
import os
import shutil
import sys

SAMPLE = {
    "": [
        ("Brimmark ホーム", "https://brimmark.example/", "ツール お気に入り 整理"),
        ("Debian", "https://www.debian.org/", "Linux ディストリビューション"),
        ("Wikipedia 日本語版", "https://ja.wikipedia.org/", "百科事典 調べもの"),
    ],
    "ニュース": [
        ("NHK ニュース", "https://www3.nhk.or.jp/news/", "ニュース 毎日 テレビ"),
        ("朝のまとめ", "https://news.example.jp/morning", "ニュース 朝刊"),
        ("BBC News", "https://www.bbc.co.uk/news", "news english 英語"),
    ],
    "ニュース/スポーツ": [
        ("サッカー速報", "https://sports.example.jp/soccer", "サッカー Jリーグ 速報"),
        ("野球の結果", "https://sports.example.jp/baseball", "野球 プロ野球"),
    ],
    "ニュース/天気": [
        ("天気予報", "https://weather.example.jp/", "天気 週間予報 雨"),
        ("台風情報", "https://weather.example.jp/typhoon", ""),
    ],
    "技術": [
        ("C++ リファレンス", "https://en.cppreference.com/", "C++ 表 標準ライブラリ"),
        ("Qt ドキュメント", "https://doc.qt.io/", "Qt GUI ソフト開発"),
        ("CMake", "https://cmake.org/documentation/", "ビルド"),
        ("GoogleTest 入門", "https://google.github.io/googletest/", "テスト 単体テスト"),
    ],
    "技術/Linux": [
        ("Debian 管理者ハンドブック", "https://debian-handbook.info/", "Debian 管理 ソフトウェア"),
        ("systemd の使い方", "https://systemd.example.org/", "サービス 起動"),
        ("シェル入門", "https://shell.example.jp/", "bash シェル スクリプト"),
    ],
    "技術/Linux/ファイルシステム": [
        ("ext4 の仕組み", "https://fs.example.org/ext4", "ファイルシステム ジャーナル"),
        ("ゴミ箱の仕様", "https://specs.example.org/trash", "ゴミ箱 trash freedesktop"),
    ],
    "料理": [
        ("今日の献立", "https://recipe.example.jp/today", "料理 献立 夕食"),
        ("カレーの作り方", "https://recipe.example.jp/curry", "カレー スパイス"),
        ("和菓子レシピ", "https://recipe.example.jp/wagashi", "和菓子 あんこ"),
    ],
    "料理/パン": [
        ("食パン", "https://bread.example.jp/shokupan", "パン 強力粉"),
        ("クロワッサン", "https://bread.example.jp/croissant", ""),
    ],
    "旅行": [
        ("京都 観光", "https://travel.example.jp/kyoto", "京都 寺 紅葉"),
        ("北海道 旅行記", "https://travel.example.jp/hokkaido", "北海道 雪 温泉"),
        ("時刻表", "https://train.example.jp/", "電車 時刻表 乗換"),
    ],
    "旅行/海外": [
        ("パリ 美術館", "https://travel.example.jp/paris", "フランス 美術館 ルーブル"),
        ("ソウル グルメ", "https://travel.example.jp/seoul", "韓国 食べ歩き"),
    ],
    "趣味": [
        ("将棋 入門", "https://shogi.example.jp/", "将棋 定跡"),
        ("写真の撮り方", "https://photo.example.jp/", "カメラ 写真 レンズ"),
    ],
    "趣味/音楽": [
        ("クラシック名曲", "https://music.example.jp/classic", "音楽 クラシック ピアノ"),
        ("ギター練習", "https://music.example.jp/guitar", "ギター コード 練習"),
    ],
    "買い物": [
        ("本屋", "https://books.example.jp/", "本 書籍 通販"),
        ("家電の比較", "https://kaden.example.jp/", "家電 比較 価格"),
    ],
}


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples", "Favorites")
    if os.path.isdir(root):
        shutil.rmtree(root)
    count = 0
    for folder, items in SAMPLE.items():
        path = os.path.join(root, *folder.split("/")) if folder else root
        os.makedirs(path, exist_ok=True)
        for name, url, comment in items:
            text = "[InternetShortcut]\r\nURL=" + url + "\r\n"
            if comment:
                text += "[CommentKey]\r\nWords=" + comment + "\r\n"
            with open(os.path.join(path, name + ".url"), "wb") as f:
                f.write(text.encode("cp932"))
            count += 1
    print(f"{count} favorites under {root}", file=sys.stderr)


if __name__ == "__main__":
    main()
