#include "Html5libCorpus.h"

#include "Utf16Bytes.h"

#include <cstdlib>
#include <fstream>

std::vector<CorpusCase> LoadCorpus(const std::filesystem::path& folder) {
    std::vector<CorpusCase> cases;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".dat") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i] != "#data") continue;
            CorpusCase test;
            test.file = entry.path().filename().string();
            std::string data;
            size_t j = i + 1;
            for (; j < lines.size() && lines[j] != "#errors"; ++j) data += (j > i + 1 ? "\n" : "") + lines[j];
            test.data = FromUtf8(data);
            for (; j < lines.size() && lines[j] != "#document"; ++j)
                if (lines[j] == "#document-fragment" || lines[j] == "#script-on") test.checkText = false;
            std::string text;
            bool inText = false;
            for (++j; j < lines.size() && lines[j] != "#data" && !(lines[j].empty() && !inText); ++j) {
                test.expectedTree.push_back(lines[j]);
                std::string line = lines[j];
                if (!inText) {
                    size_t quote = line.find('"');
                    if (line.rfind("| ", 0) != 0 || quote == std::string::npos || line.find_first_not_of(' ', 2) != quote) continue;
                    line = line.substr(quote + 1);
                    inText = true;
                } else {
                    text += "\n";
                }
                if (!line.empty() && line.back() == '"') {
                    line.pop_back();
                    inText = false;
                }
                text += line;
            }
            test.expectedText = FromUtf8(text);
            cases.push_back(std::move(test));
            i = j - 1;
        }
    }
    return cases;
}

std::filesystem::path CorpusFolder() {
    const char* root = std::getenv("TARVELO_CORPUS");
    std::filesystem::path folder = root ? std::filesystem::path(root) / "html5lib-tree-construction" : std::filesystem::path();
    return root && std::filesystem::is_directory(folder) ? folder : std::filesystem::path();
}
