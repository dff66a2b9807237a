#pragma once

// What the benchmark programs share: a Ui that stays quiet and a scratch
// folder removed at exit.

#include "app/common/Ui.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace tess::bench {

class QuietUi final : public Ui {
public:
    void showMessage(const Message&, Language) override { ++messages; }
    Answer ask(const Message&, const Message&, Buttons, Language) override { return Answer::Cancel; }
    void setBusy(bool) override { }
    std::optional<std::string> chooseOpenFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> chooseSaveFile(const FileDialogRequest&) override { return std::nullopt; }
    int messages = 0;
};

class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tessaline-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary folder");
        m_path = pattern + "/";
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + name; }

private:
    std::string m_path;
};

} // namespace tess::bench
