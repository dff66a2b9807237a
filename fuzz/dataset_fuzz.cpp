// Feeds arbitrary bytes to the console data file reader. Whatever it accepts
// must survive being written and read again unchanged.
#include "domain/datafile/DataSetFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace tess::datafile;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ParsedDataSet parsed = parseDataSet(bytes);
    if (parsed.status == ParseStatus::InvalidHeader)
        return 0;
    if (parsed.valueCount < 0 || parsed.valueCount > tess::SlotCount)
        std::abort();
    if ((parsed.status == ParseStatus::Complete) != (parsed.valueCount == tess::SlotCount))
        std::abort();
    if (parsed.status != ParseStatus::Complete && parsed.problemLine < 1)
        std::abort();
    // The identity widths of the reader always fit the writer's.
    if (!identityFitsFile(parsed.identity))
        std::abort();

    const ParsedDataSet again = parseDataSet(formatDataSet(parsed.identity, parsed.values));
    if (again.status != ParseStatus::Complete || !again.hasSeparator || again.identity != parsed.identity
        || again.values != parsed.values)
        std::abort();
    return 0;
}
