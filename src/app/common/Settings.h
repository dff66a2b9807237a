#pragma once

#include "domain/common/Language.h"
#include "domain/settings/FileVersionSettings.h"
#include "domain/tables/TableFiles.h"

#include <array>
#include <cstdint>
#include <string>

namespace tess {

constexpr int CountedModels = 10; // model indices 0..9 have a table folder

// What start-up reads from the installation and the stored choices; the
// commands read it and the language and port choices change it.
struct Settings {
    std::string applicationFolder; // with its trailing '/'
    // The user's own folder laid out like the installation, for the tables
    // the user adds ("": none), with its trailing '/'.
    std::string userFolder;
    // Whether the user may write into the installation: a folder of their
    // own, as a portable installation is. A system installation is only read.
    bool installationWritable = true;
    FileVersionSettings fileVersion;
    std::array<std::uint16_t, CountedModels> tableFileCount {};
    // The same counts in the user's folder.
    std::array<std::uint16_t, CountedModels> userTableFileCount {};
    Language language = Language::English;
    std::string portName;
    int writeWaitMs = 150;
    // Where each transfer's journal goes ("": none is kept), and where the
    // lock files of the ports in use lie ("": the ports are not locked).
    std::string journalFolder;
    std::string runtimeFolder;

    // Where tables are looked up: the user's folder, then the installation.
    tables::TableFolders tableFolders() const { return {applicationFolder, userFolder}; }
    // Where added tables go: into the installation when the user may write
    // there, as they always did; otherwise into the user's own folder (when
    // there is none, the installation's refusal is the answer).
    const std::string& addedTablesFolder() const
    {
        return installationWritable || userFolder.empty() ? applicationFolder : userFolder;
    }
};

} // namespace tess
