// Writes a synthetic Favorites tree for the benchmarks:
//   brimmark-gen-tree ROOT [FILES=100000] [FOLDERS=2000] [SEED=1]
// Folders nest up to four levels; each file is an Internet Shortcut in CP932
// with browser keys, and most carry a Japanese comment. One in a hundred
// comments holds the word "Needle", for search timings.

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "platform/posix/IconvCodePage.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: brimmark-gen-tree ROOT [FILES] [FOLDERS] [SEED]\n";
        return 2;
    }
    const std::string root = std::string(argv[1]) + "/";
    const long files = argc > 2 ? std::atol(argv[2]) : 100000;
    const long folderCount = argc > 3 ? std::atol(argv[3]) : 2000;
    std::mt19937 rng(argc > 4 ? std::atoi(argv[4]) : 1);
    const brim::platform::IconvCodePage cp("CP932");

    const std::vector<std::string> words = {"ニュース", "天気",    "料理",   "旅行",   "音楽",
                                            "映画",     "ゲーム",  "技術",   "表計算", "ソフト",
                                            "news",     "weather", "recipe", "travel", "music",
                                            "movie",    "code",    "book",   "shop",   "blog"};
    const auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    };

    std::vector<std::string> folders = {root};
    std::filesystem::create_directories(root);
    for (long i = 0; i + 1 < folderCount; ++i) {
        // A new folder under a random earlier one, at most four levels down.
        std::string parent;
        do {
            parent = folders[pick(folders.size())];
        } while (std::count(parent.begin() + static_cast<long>(root.size()), parent.end(), '/') >=
                 4);
        const std::string path = parent + words[pick(words.size())] + "_" + std::to_string(i) + "/";
        if (mkdir(path.c_str(), 0777) != 0) {
            std::perror(path.c_str());
            return 1;
        }
        folders.push_back(path);
    }
    for (long i = 0; i < files; ++i) {
        const std::string& folder = folders[pick(folders.size())];
        const std::string name = words[pick(words.size())] + " " + std::to_string(i) + ".url";
        std::string comment;
        if (pick(10) != 0) {
            for (std::size_t w = 0, n = 1 + pick(4); w < n; ++w)
                comment += words[pick(words.size())] + " ";
            if (i % 100 == 0) comment += "Needle ";
            comment += "メモ" + std::to_string(i);
        }
        std::string text = "[DEFAULT]\r\nBASEURL=https://example.com/" + std::to_string(i) +
                           "\r\n[InternetShortcut]\r\nURL=https://example.com/" +
                           std::to_string(i) + "\r\nIDList=\r\nHotKey=0\r\nIconIndex=0\r\n";
        if (!comment.empty())
            text += "[CommentKey]\r\nWords=" + cp.encode(comment).value() + "\r\n";
        std::ofstream(folder + name, std::ios::binary) << text;
    }
    std::cout << files << " favorites in " << folders.size() << " folders under " << root << "\n";
    return 0;
}
