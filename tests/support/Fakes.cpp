#include "support/Fakes.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace tess::test {

std::optional<PendingFile> FailingFileWriter::prepare(const std::string& path, std::string_view bytes, IoError* error)
{
    const int call = calls++;
    if (m_shouldFail(call, path)) {
        if (error)
            *error = IoError {path, "simulated write failure"};
        return std::nullopt;
    }
    return systemFileWriter().prepare(path, bytes, error);
}

std::size_t FailingFileWriter::commit(std::span<PendingFile> files, IoError* error)
{
    std::size_t renamed = 0;
    while (renamed < files.size() && !(m_renameFails && m_renameFails(files[renamed].path())))
        ++renamed;
    const std::size_t inPlace = systemFileWriter().commit(files.first(renamed), error);
    if (inPlace == renamed && renamed < files.size() && error)
        *error = IoError {files[renamed].path(), "simulated rename failure"};
    return inPlace;
}

FolderContents folderContents(const std::string& folder)
{
    FolderContents contents;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file())
            contents[entry.path().filename().string()] = readFile(entry.path().string());
    return contents;
}

bool StoppingFileWriter::step(const std::string& path, IoError* error)
{
    if (m_steps > 0) {
        --m_steps;
        return true;
    }
    if (!leftOnDisk)
        leftOnDisk = folderContents(m_folder);
    if (error)
        *error = IoError {path, "simulated stop"};
    return false;
}

std::optional<PendingFile> StoppingFileWriter::prepare(const std::string& path, std::string_view bytes, IoError* error)
{
    if (!step(path, error))
        return std::nullopt;
    return systemFileWriter().prepare(path, bytes, error);
}

std::size_t StoppingFileWriter::commit(std::span<PendingFile> files, IoError* error)
{
    std::size_t inPlace = 0;
    for (PendingFile& file : files) {
        if (!step(file.path(), error) || systemFileWriter().commit(std::span(&file, 1), error) != 1)
            return inPlace;
        ++inPlace;
    }
    return inPlace;
}

TempDir::TempDir()
{
    // A new folder of a random name, made by this test alone.
    static std::mt19937 generator {std::random_device {}()};
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
        const std::filesystem::path folder = base / ("tessaline-test-" + std::to_string(generator()));
        std::error_code error;
        if (std::filesystem::create_directory(folder, error))
            m_path = utf8Of(folder) + "/";
    }
    if (m_path.empty())
        throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(pathOf(m_path), ec);
}

ReadOnlyTree::ReadOnlyTree(std::string folder)
{
    m_folders.push_back(std::move(folder));
    for (const auto& entry : std::filesystem::recursive_directory_iterator(pathOf(m_folders.front())))
        if (entry.is_directory())
            m_folders.push_back(utf8Of(entry.path()));
    for (const std::string& path : m_folders)
        std::filesystem::permissions(pathOf(path),
            std::filesystem::perms::owner_write | std::filesystem::perms::group_write
                | std::filesystem::perms::others_write,
            std::filesystem::perm_options::remove);
}

ReadOnlyTree::~ReadOnlyTree()
{
    std::error_code ec;
    for (const std::string& path : m_folders)
        std::filesystem::permissions(
            pathOf(path), std::filesystem::perms::owner_write, std::filesystem::perm_options::add, ec);
}

void writeFile(const std::string& path, const std::string& bytes)
{
    const auto parent = pathOf(path).parent_path();
    if (!parent.empty())
        std::filesystem::create_directories(parent);
    std::ofstream out(systemPathOf(path), std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(systemPathOf(path), std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string nativePath(const std::string& path)
{
    return utf8Of(pathOf(path).make_preferred());
}

std::string missingReason(const std::string& path)
{
    std::string bytes;
    IoError error;
    if (readFileBytes(path, bytes, &error))
        throw std::runtime_error(path + " is there");
    return error.detail;
}

} // namespace tess::test
