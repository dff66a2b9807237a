#pragma once

#include "app/common/Settings.h"
#include "app/common/ViewState.h"
#include "app/mainwindow/Document.h"
#include "domain/common/FileIo.h"

namespace tess {

// The program-wide state: made once at start-up and passed by reference.
// Tests make as many as they like.
struct Workspace {
    Settings settings;
    Document doc;
    ViewState view;

    // Every file the program replaces goes through this writer.
    FileWriter* writer = &systemFileWriter();
};

} // namespace tess
