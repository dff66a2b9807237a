#include "support/Fakes.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tess::test {

bool FailingFileWriter::replaceFile(const std::string& path, std::string_view bytes, IoError* error)
{
    const int call = calls++;
    if (m_shouldFail(call, path)) {
        if (error)
            *error = IoError{path, "simulated write failure"};
        return false;
    }
    return systemFileWriter().replaceFile(path, bytes, error);
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tessaline-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    m_path = pattern + "/";
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

void writeFile(const std::string& path, const std::string& bytes)
{
    const auto parent = std::filesystem::path(path).parent_path();
    if (!parent.empty())
        std::filesystem::create_directories(parent);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

} // namespace tess::test
