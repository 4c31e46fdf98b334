// Writes a preview page, without plots, for a data file, for the browser tests:
// write_page DATA.json PAGE.html
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "sim/preview/preview_page.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: write_page DATA.json PAGE.html\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::ofstream out(argv[2], std::ios::binary);
    out << sim::previewPage("", data);
    if (!in || !out) {
        std::cerr << "write_page: cannot read " << argv[1] << " or write " << argv[2] << "\n";
        return 2;
    }
    return 0;
}
