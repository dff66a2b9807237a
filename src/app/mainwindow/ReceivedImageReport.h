#pragma once

#include "domain/common/Identity.h"
#include "domain/tables/ConversionReport.h"

#include <cstdint>
#include <optional>
#include <span>

namespace tess {

struct Document;

// What the image conversion did to the words a data read or a compare with
// the drive received, reported like an Inverter change: the words as the
// drive sent them (each a signed 16-bit number) are the values before, the
// data set's values after, both under the table the data set is shown with.
// The words the conversion doubled for the 400 V class read "Value
// converted", a capacity word set to the capacity index "Set from
// capacity", and a value outside its range is named as after a change.

// Keeps the image's words in the document until the data set or comparison
// made of them is shown. Missing bytes count as 0, as in the conversion.
void keepReceivedImage(Document& doc, std::span<const std::uint8_t> image);

// The report of the kept words against `converted`, and the kept words
// dropped. Nothing when no words are kept or the data set is shown without
// its table.
std::optional<tables::ConversionReport> takeReceivedImageReport(Document& doc, const ParameterSet& converted);

} // namespace tess
