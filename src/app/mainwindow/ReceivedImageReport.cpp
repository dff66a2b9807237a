#include "app/mainwindow/ReceivedImageReport.h"

#include "app/mainwindow/Document.h"

#include <utility>

namespace tess {

void keepReceivedImage(Document& doc, std::span<const std::uint8_t> image)
{
    ParameterSet words {};
    const auto byteAt = [&](std::size_t i) -> unsigned { return i < image.size() ? image[i] : 0u; };
    for (std::size_t slot = 0; slot < words.size(); ++slot)
        words[slot] = static_cast<std::int16_t>((byteAt(2 * slot) << 8) | byteAt(2 * slot + 1));
    doc.receivedImage = words;
}

std::optional<tables::ConversionReport> takeReceivedImageReport(Document& doc, const ParameterSet& converted)
{
    const std::optional<ParameterSet> received = std::exchange(doc.receivedImage, std::nullopt);
    if (!received || doc.content != GridContent::Table)
        return std::nullopt;
    const int capacity = doc.identity.capacity;
    return tables::reportConversion(doc.table, doc.table, *received, converted, capacity, capacity);
}

} // namespace tess
