#include "mkdemo/DemoInstallation.h"

#include <cstdio>
#include <cstring>
#include <string>

// tessaline-mkdemo FOLDER [--view] [--special]
int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(stderr, "usage: tessaline-mkdemo FOLDER [--view] [--special]\n");
        return 2;
    }
    tess::demo::DemoOptions options;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--view") == 0)
            options.view = true;
        else if (std::strcmp(argv[i], "--special") == 0)
            options.specialFunctions = true;
        else {
            std::fprintf(stderr, "tessaline-mkdemo: unknown option %s\n", argv[i]);
            return 2;
        }
    }
    std::string error;
    if (!tess::demo::writeDemoInstallation(argv[1], options, &error)) {
        std::fprintf(stderr, "tessaline-mkdemo: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
