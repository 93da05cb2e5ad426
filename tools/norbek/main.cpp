// norbek: writes the literature pages of the species, with their index and style sheet.
#include "tools/norbek/norbek.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    return tavik::Norbek::run(std::vector<std::string>(argv + 1, argv + argc), stdin, stdout, stderr);
}
