#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tess {

// The system's converter between code page 932 and UTF-8, which the
// conversion tables learn each character from: iconv on Linux, the
// system's code page 932 on Windows.
class Cp932Converter {
public:
    enum class Direction { ToUtf8, FromUtf8 };
    explicit Cp932Converter(Direction direction);
    ~Cp932Converter();
    Cp932Converter(const Cp932Converter&) = delete;
    Cp932Converter& operator=(const Cp932Converter&) = delete;

    bool usable() const;

    // What the converter makes of exactly these bytes, from its first state.
    enum class Verdict { Converted, Invalid, Incomplete };
    Verdict probe(std::string_view in, std::string& out);

    // Converts in pieces; on a sequence it cannot take, appends the
    // replacement and steps over skip(rest) bytes, and sets *lossy.
    using Skip = std::size_t (*)(std::string_view rest);
    void run(std::string_view in, std::string_view replacement, Skip skip, std::string& out, bool* lossy);

private:
    // Read by the Windows converter; iconv keeps the direction in its state.
    [[maybe_unused]] Direction m_direction;
    void* m_state = nullptr; // the iconv descriptor on Linux
};

} // namespace tess
