#include "mkdemo/DemoInstallation.h"

namespace tess::demo {

bool writeDemoInstallation(const std::string&, const DemoOptions&, std::string* error)
{
    if (error)
        *error = "not written yet";
    return false;
}

} // namespace tess::demo
