#pragma once

#include "app/mainwindow/CommandStates.h"
#include "app/mainwindow/Document.h"
#include "domain/common/FileIo.h"
#include "domain/common/Language.h"
#include "domain/settings/FileVersionSettings.h"

#include <array>
#include <cstdint>
#include <string>

namespace tess {

constexpr int CountedModels = 10; // model indices 0..9 have a table folder

// What the inverter selection dialog keeps from one use to the next.
struct SelectionMemory {
    int pickedRomIndex = 0; // the ROM index of the code last picked
    bool lx71rtpRomZeroMark = false; // LX71RTP ROM index 0 was last accepted
};

// The program-wide state: made once at start-up and passed by reference.
// Tests make as many as they like.
struct Workspace {
    std::string applicationFolder; // with its trailing '/'
    FileVersionSettings settings;
    std::array<std::uint16_t, CountedModels> tableFileCount {};
    Language language = Language::English;
    std::string portName;
    int writeWaitMs = 150;
    bool logWindowOpen = false;
    Document doc;
    // What the main window's menus and buttons offer; the window shows it.
    CommandStates commands;
    SelectionMemory selection;

    // Every file the program replaces goes through this writer.
    FileWriter* writer = &systemFileWriter();
};

} // namespace tess
