#pragma once

#include "domain/common/Identity.h"

#include <string>
#include <string_view>

// The console data file (.csl) as bytes: four identity lines, the separator
// "--Data--" and the 665 values, one per line, CR LF line ends. These are pure
// functions; the reading and writing of files on a workspace is in
// DataSetFile.h.
namespace tess::datafile {

constexpr std::string_view Separator = "--Data--";

// Widths in which the identity is written ("%2d" three times, then "%3d") and
// in which the reader takes it apart again.
constexpr int IdentityFieldWidth = 2;
constexpr int RomVersionFieldWidth = 3;

enum class ParseStatus {
    Complete, // identity and all 665 values
    InvalidValue, // a value is no integer or does not fit in 32 bits
    MissingValues, // the file ends before the 665th value
    InvalidHeader, // the four identity numbers are not there
};

struct ParsedDataSet {
    ParseStatus status = ParseStatus::InvalidHeader;
    InverterIdentity identity;
    // Values 0 .. valueCount-1 were read; the rest are zero here and must not
    // replace anything.
    ParameterSet values {};
    int valueCount = 0;
    bool hasSeparator = false;
    // For InvalidValue and MissingValues: the line (from 1) where the value
    // valueCount was expected.
    int problemLine = 0;
};

// Reads the identity with the fixed widths (blanks and line ends before a
// number are skipped and not counted), then either the separator line or,
// in the older layout without it, directly the first value. Each value is a
// whole blank-delimited integer of any width: a value written wider than 8
// characters stays one value.
ParsedDataSet parseDataSet(std::string_view bytes);

// True when every identity number fits its field width, so that the file
// reads back the same identity.
bool identityFitsFile(const InverterIdentity& identity);

// True when an identity number is below zero: no catalogue index and no
// reserved mark is, so such a header was damaged or edited by hand.
bool identityHasNegativeIndex(const InverterIdentity& identity);

// The .csl bytes: " 1\r\n 0\r\n 5\r\n 23\r\n--Data--\r\n    1500\r\n...".
std::string formatDataSet(const InverterIdentity& identity, const ParameterSet& values);

} // namespace tess::datafile
