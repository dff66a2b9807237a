#pragma once

#include "domain/common/TextParse.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// How stored parameter values and shown texts turn into each other. A value
// is stored as an integer with the decimal point removed; the parameter's
// decimal places say where the point goes when it is shown.
namespace tess::tables {

// The largest number of decimal places a parameter may have. The stored
// words are 16-bit, so real tables use far fewer; the bound keeps 10^d exact
// in single precision and the shown texts short.
constexpr int MaxDecimals = 9;

// `formatMask`: "0" for 0 decimal places, otherwise "0." followed by that many
// zeros (0.00 for 2). Negative counts give "0".
std::string formatMask(int decimals);

// The text a stored value is shown as: value / 10^decimals computed in single
// precision, written with exactly `decimals` digits after the point and at
// least one before it (the `formatMask` pattern). decimals is clamped to
// 0..MaxDecimals.
std::string formatScaledValue(std::int64_t value, int decimals);
// The same written into text, whose storage is reused.
void formatScaledValueInto(std::int64_t value, int decimals, std::string& text);

// The decimal text of a number of stored units with d decimal places, exact
// ("-1250" with 2 gives "-12.50").
std::string formatUnits(std::int64_t units, int d);

// The number a decimal text denotes ("12.5", "-0.25", "7", "+3.") written
// with the `formatMask` pattern of `decimals` places, rounded half away from
// zero on the decimal digits themselves (so "1.25" gives "1.3" with one
// place). Nothing when the text is not an optionally signed decimal number.
std::optional<std::string> formatDecimalText(std::string_view text, int decimals);
// The same written into out, whose storage is reused; false (out undefined)
// when the text is no decimal number. out must not be where text lies.
bool formatDecimalTextInto(std::string_view text, int decimals, std::string& out);

// `toScaledInteger`: the text with its last "." deleted, read by parseInteger
// (12.34 gives 1234, -0.5 gives -5, 7 gives 7). Nothing when what remains is
// not an integer of the signed 32-bit range.
std::optional<std::int32_t> toScaledInteger(std::string_view text);

// The capacity lists put the 200 V class first: from this index on, the
// capacities are of the 400 V class.
constexpr int FirstCapacity400V = 16;
// LX71RTP's ROM versions 1 to 18 start the 400 V class earlier in the list.
constexpr int FirstCapacity400VEarlyLx71Rtp = 11;
constexpr int FirstEarlyLx71RtpRom = 1;
constexpr int LastEarlyLx71RtpRom = 18;

// `isClass400V`: whether the capacity index of this model and ROM version
// index is of the 400 V class.
bool isClass400V(int model, int capacity, int romVersion);

} // namespace tess::tables
