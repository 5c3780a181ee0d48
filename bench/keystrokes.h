#pragma once
// What the benchmarks type into the keyword box: words of the comments of a
// tree made by brimmark-gen-tree, typed and rubbed out a letter at a time,
// each followed by the box emptied.

#include <string>
#include <vector>

inline std::vector<std::string> benchKeystrokes(std::size_t count) {
    const std::vector<std::string> words = {"needle", "news", "travel", "ニュース", "code"};
    std::vector<std::string> typed;
    for (std::size_t w = 0; typed.size() < count; ++w) {
        const std::string& word = words[w % words.size()];
        std::vector<std::size_t> ends;  // where each letter's UTF-8 bytes end
        for (std::size_t i = 1; i <= word.size(); ++i)
            if (i == word.size() || (static_cast<unsigned char>(word[i]) & 0xC0) != 0x80)
                ends.push_back(i);
        for (const std::size_t e : ends)
            typed.push_back(word.substr(0, e));
        for (std::size_t k = ends.size() - 1; k-- > 0;)
            typed.push_back(word.substr(0, ends[k]));
        typed.push_back({});
    }
    typed.resize(count);
    return typed;
}
