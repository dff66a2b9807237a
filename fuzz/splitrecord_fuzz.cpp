// Feeds arbitrary bytes to the record splitter and the value texts. The
// fields never hold more bytes than the line, and a formatted decimal text
// formats to itself again.
#include "domain/tables/TableFiles.h"
#include "domain/tables/ValueFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace tess::tables;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view line(reinterpret_cast<const char*>(data), size);

    std::size_t total = 0;
    for (const std::string& field : splitRecordBytes(line))
        total += field.size();
    if (total > size)
        std::abort();
    (void)splitRecord(line);

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
