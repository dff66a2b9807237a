// Feeds arbitrary bytes to the record splitter and the value texts. The
// fields never hold more bytes than the line; splitting the decoded line (as
// the loader does) gives each field of the bytes decoded alone; and a
// formatted decimal text formats to itself again.
#include "domain/common/Cp932.h"
#include "domain/tables/TableFiles.h"
#include "domain/tables/ValueFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace tess::tables;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view line(reinterpret_cast<const char*>(data), size);

    std::size_t total = 0;
    const std::vector<std::string> bytes = splitRecordBytes(line);
    for (const std::string& field : bytes)
        total += field.size();
    if (total > size)
        std::abort();
    const std::vector<std::string> decoded = splitRecord(line);
    if (decoded.size() != bytes.size())
        std::abort();
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (decoded[i] != tess::cp932ToUtf8(bytes[i]))
            std::abort();

    const int decimals = size > 0 ? data[0] % (MaxDecimals + 1) : 0;
    if (const auto text = formatDecimalText(line, decimals)) {
        if (formatDecimalText(*text, decimals) != text)
            std::abort();
        // The shown text always has exactly that many places.
        const std::size_t point = text->find('.');
        const std::size_t places = point == std::string::npos ? 0 : text->size() - point - 1;
        if (places != static_cast<std::size_t>(decimals))
            std::abort();
    }
    if (const auto units = toScaledInteger(line))
        (void)formatScaledValue(*units, decimals);
    return 0;
}
