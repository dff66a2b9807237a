#include "domain/journal/JournalFolder.h"

#include <cstdlib>

namespace tess::journal {

std::string defaultJournalFolder()
{
    return journalFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
}

std::string defaultRuntimeFolder()
{
    return runtimeFolder(std::getenv("XDG_RUNTIME_DIR"));
}

} // namespace tess::journal
