#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace tess::cli {

// The progress line's text: a bar of twenty cells, the per cent and the
// status ("[#########-----------]  45%  Word 40 of 589 written"), cut to fit
// in columns - 1, so that the cursor never wraps to a line of its own.
std::string progressLineText(int permille, std::string_view status, int columns);

// One line of a terminal rewritten in place as a transaction goes on. Lines
// of their own (messages) may come between two updates: clear() makes room
// for them and the next update draws the line again below them.
class ProgressLine {
public:
    ProgressLine(std::ostream& out, int columns)
        : m_out(out)
        , m_columns(columns)
    {
    }
    ~ProgressLine() { clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void update(int permille, std::string_view status);
    // Erases the line and leaves the cursor at its start.
    void clear();

private:
    std::ostream& m_out;
    int m_columns;
    bool m_shown = false;
};

} // namespace tess::cli
