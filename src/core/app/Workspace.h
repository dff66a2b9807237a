#pragma once

#include "core/app/FileVersionSettings.h"
#include "core/common/FileIo.h"
#include "core/common/Language.h"
#include "core/mainwindow/Document.h"

#include <array>
#include <cstdint>
#include <string>

namespace tess {

constexpr int CountedModels = 10; // model indices 0..9 have a table folder

// The program-wide state: made once at start-up and passed by reference.
// Tests make as many as they like.
struct Workspace {
    std::string applicationFolder; // with its trailing '/'
    FileVersionSettings settings;
    std::array<std::uint16_t, CountedModels> tableFileCount{};
    Language language = Language::English;
    std::string portName;
    int writeWaitMs = 150;
    bool logWindowOpen = false;
    Document doc;

    // Every file the program replaces goes through this writer.
    FileWriter* writer = &systemFileWriter();
};

} // namespace tess
