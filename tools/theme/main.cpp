// plinka-theme: lists, inspects, dumps, builds and previews sound themes.

#include <iostream>
#include <string>
#include <vector>

#include "tools/theme/Commands.h"

int main(int argc, char** argv) {
    return plinka::themetool::runCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                         std::cerr);
}
