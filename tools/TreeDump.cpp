// Reads documents from standard input and prints the tree the parser builds
// for each, in the indented format of the html5lib tree-construction tests.
//
// Input, UTF-8: for each document a line "#document <bytes>" or
// "#fragment <context> <bytes>", then that many bytes of HTML, then a line end.
// Output, UTF-8: for each document a line "#tree", then one line per node.
#include "TreeFormat.h"
#include "dom/Document.h"
#include "html/Parser.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <string>

int main() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    std::string header;
    while (std::getline(std::cin, header)) {
        std::string context;
        size_t space = header.rfind(' ');
        if (space == std::string::npos) continue;
        size_t length = std::stoul(header.substr(space + 1));
        if (header.rfind("#fragment ", 0) == 0) context = header.substr(10, space - 10);
        std::string bytes(length, '\0');
        std::cin.read(bytes.data(), static_cast<std::streamsize>(length));
        std::string rest;
        std::getline(std::cin, rest);
        std::string out = "#tree\n";
        if (context.empty()) {
            AppendTree(*html::ParseDocument(FromUtf8(bytes)), 0, out);
        } else {
            auto document = dom::Document::Create();
            auto contextElement = document->CreateElement(FromUtf8(context));
            for (const auto& node : html::ParseFragment(*document, FromUtf8(bytes), contextElement.get())) AppendTree(*node, 0, out);
        }
        std::fwrite(out.data(), 1, out.size(), stdout);
    }
    return 0;
}
