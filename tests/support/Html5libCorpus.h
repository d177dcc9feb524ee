// The html5lib tree-construction suite (the corpus folder beside the
// sources, named by TARVELO_CORPUS): its inputs and the trees an HTML5
// parser builds of them.
#pragma once
#include "core/String.h"

#include <filesystem>
#include <string>
#include <vector>

struct CorpusCase {
    std::string file;
    CString data;
    CString expectedText;  // the text nodes of the expected tree
    std::vector<std::string> expectedTree;  // its lines
    bool checkText = true;
};

std::vector<CorpusCase> LoadCorpus(const std::filesystem::path& folder);
// The suite's folder; empty when it is not there (the tests that need it skip).
std::filesystem::path CorpusFolder();
