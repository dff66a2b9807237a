#include "cli/ProgressLine.h"

#include "cli/TextTable.h"

#include <algorithm>

namespace tess::cli {
namespace {

constexpr int BarCells = 20;
// Back to the start of the line, and everything after the cursor erased.
constexpr std::string_view LineStart = "\r";
constexpr std::string_view EraseToEnd = "\x1b[K";

} // namespace

std::string progressLineText(int permille, std::string_view status, int columns)
{
    const int done = std::clamp(permille, 0, 1000);
    const int filled = done * BarCells / 1000;
    std::string line = "[" + std::string(static_cast<std::size_t>(filled), '#')
        + std::string(static_cast<std::size_t>(BarCells - filled), '-') + "] ";
    const std::string percent = std::to_string(done / 10) + "%";
    line.append(4 - std::min<std::size_t>(percent.size(), 4), ' ');
    line += percent;
    if (!status.empty())
        line += "  " + std::string(status);
    return cutToWidth(line, std::max(columns - 1, 0));
}

void ProgressLine::update(int permille, std::string_view status)
{
    m_out << LineStart << progressLineText(permille, status, m_columns) << EraseToEnd;
    m_out.flush();
    m_shown = true;
}

void ProgressLine::clear()
{
    if (!m_shown)
        return;
    m_out << LineStart << EraseToEnd;
    m_out.flush();
    m_shown = false;
}

} // namespace tess::cli
