#pragma once

#include "domain/common/Language.h"
#include "domain/settings/FileVersionSettings.h"

#include <array>
#include <cstdint>
#include <string>

namespace tess {

constexpr int CountedModels = 10; // model indices 0..9 have a table folder

// What start-up reads from the installation and the stored choices; the
// commands read it and the language and port choices change it.
struct Settings {
    std::string applicationFolder; // with its trailing '/'
    FileVersionSettings fileVersion;
    std::array<std::uint16_t, CountedModels> tableFileCount {};
    Language language = Language::English;
    std::string portName;
    int writeWaitMs = 150;
    // Where each transfer's journal goes ("": none is kept), and where the
    // lock files of the ports in use lie ("": the ports are not locked).
    std::string journalFolder;
    std::string runtimeFolder;
};

} // namespace tess
