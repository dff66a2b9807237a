#include "domain/tables/ImageConversion.h"

#include "domain/catalogue/ModelCatalogue.h"
#include "domain/common/FileIo.h"
#include "domain/tables/TableFiles.h"
#include "domain/tables/ValueFormat.h"
#include "domain/text/Texts.h"

#include <cctype>
#include <optional>

namespace tess::tables {
namespace {

using catalogue::Model;

char upperAt(std::span<const std::uint8_t> buffer, std::size_t index)
{
    if (index >= buffer.size())
        return 0;
    return static_cast<char>(std::toupper(buffer[index]));
}

int wordAt(std::span<const std::uint8_t> buffer, std::size_t index)
{
    const int high = index < buffer.size() ? buffer[index] : 0;
    const int low = index + 1 < buffer.size() ? buffer[index + 1] : 0;
    return high << 8 | low;
}

// The model the identity text names; nothing for an unknown text.
std::optional<Model> modelOfText(std::span<const std::uint8_t> buffer, bool& earlyRtp)
{
    const char c0 = upperAt(buffer, 0);
    const char c1 = upperAt(buffer, 1);
    const char c3 = upperAt(buffer, 3);
    const char c4 = upperAt(buffer, 4);
    const char c5 = upperAt(buffer, 5);
    const char c6 = upperAt(buffer, 6);
    earlyRtp = false;
    if (c0 == 'Q' && c1 == 'M') {
        if (c5 == 'C') {
            // Only the series C1 and C2 exist; any other names no model.
            if (c6 == '1')
                return Model::QM71N;
            if (c6 == '2')
                return Model::QM73N;
            return std::nullopt;
        }
        return c5 == 'A' ? Model::QM71K : Model::QM71;
    }
    if (c0 == 'Q' && c1 == 'R')
        return c5 == 'A' ? Model::QM71KRTP : Model::QM71RTP;
    if (c0 == 'Q' && c1 == 'W')
        return Model::QM73N;
    if (c0 == 'L' && c1 == 'X') {
        if (c4 == 'R') {
            earlyRtp = true;
            return Model::LX71RTP;
        }
        if (c5 == '0' && c6 == '1')
            return Model::LX71;
        return c5 == 'A' ? Model::LX71K : Model::LX71ht;
    }
    if (c0 == 'L' && c1 == 'R') {
        if (c3 == '5')
            return Model::LX75RTP;
        return c5 == 'A' ? Model::LX71KRTP : Model::LX71RTP;
    }
    return std::nullopt;
}

} // namespace

InverterIdentity ReceivedIdentity::asIdentity() const
{
    return InverterIdentity {static_cast<std::int16_t>(model), static_cast<std::int16_t>(controlModeCode),
        static_cast<std::int16_t>(capacityCode), static_cast<std::int16_t>(romVersion)};
}

IdentityCheck checkIdentity(ReceivedIdentity& found, std::span<const std::uint8_t> identityBuffer, bool compare,
    const InverterIdentity& dataSet, const FileVersionSettings& settings)
{
    bool earlyRtp = false;
    const std::optional<Model> model = modelOfText(identityBuffer, earlyRtp);
    if (!model) {
        found.model = -1;
        found.earlyRtp = false;
        return IdentityCheck::UnknownModel;
    }
    found.model = catalogue::indexOf(*model);
    found.earlyRtp = earlyRtp;

    if (found.forcedTransfer) {
        found.romVersion = catalogue::newVerForIdentityCheck(*model, settings);
        return compare && found.model != dataSet.model ? IdentityCheck::OtherModel : IdentityCheck::Known;
    }

    std::string code;
    for (std::size_t i = 5; i < IdentityTextLength; ++i)
        code.push_back(upperAt(identityBuffer, i));
    std::optional<int> rom;
    if (*model == Model::LX71RTP && found.earlyRtp) {
        // The early LX71RTP knows only the first version of the list.
        const std::optional<std::string_view> first = catalogue::romVersionText(Model::LX71RTP, 0);
        if (first && *first == code)
            rom = 0;
    } else {
        rom = catalogue::romIndexOf(*model, code, catalogue::verMax(*model, settings));
    }
    if (!rom) {
        // What was read is then saved as of an unsupported ROM version.
        found.romVersion = UnsupportedRomVersion;
        return IdentityCheck::UnknownRomVersion;
    }
    found.romVersion = *rom;

    if (compare) {
        if (found.model != dataSet.model)
            return IdentityCheck::OtherModel;
        if (found.romVersion != dataSet.romVersion)
            return IdentityCheck::OtherRomVersion;
    }
    return IdentityCheck::Known;
}

int checkModeCapacity(ReceivedIdentity& found, std::span<const std::uint8_t> identityBuffer, bool compare,
    const InverterIdentity& dataSet)
{
    found.controlModeCode = wordAt(identityBuffer, 10);
    found.capacityCode = wordAt(identityBuffer, 12);
    if (!compare)
        return 0;
    if (found.controlModeCode != dataSet.controlMode)
        return -1;
    if (found.capacityCode != dataSet.capacity)
        return -2;
    return 0;
}

ImageConversionResult convertParameterImage(const ReceivedIdentity& found, std::span<const std::uint8_t> image,
    bool skipTable, const TableFolders& folders, ParameterSet& values)
{
    ImageConversionResult conversion;
    const bool earlyRange = found.model == catalogue::indexOf(Model::LX71RTP) && !found.earlyRtp
        && found.romVersion >= 1 && found.romVersion <= 18;
    const int threshold = earlyRange ? 11 : 16;

    std::optional<int> doubledSlot;
    if (!skipTable) {
        std::string path = findTableFile(folders, found.model, found.controlModeCode, found.romVersion);
        if (path.empty()) {
            conversion.result = -3;
            path = findTableFileOrOlder(folders, found.model, found.controlModeCode, found.romVersion);
        }
        if (!path.empty()) {
            TableText text;
            IoError error;
            if (!text.read(path, &error)) {
                conversion.notice = withCause(message(TextId::TableCloseCsvFiles), fileReasonCause(path, error.detail));
            } else if (const std::optional<std::string_view> line = text.line(8)) {
                // Line 8 carries the area table entry of area 6 ("F").
                const std::vector<std::string> fields = splitRecord(*line);
                if (fields.size() > 9)
                    if (const std::optional<std::int32_t> first = parseInteger(fields[9]))
                        doubledSlot = *first;
            }
        }
    }

    for (int i = 0; i < SlotCount; ++i) {
        const auto word = static_cast<std::int16_t>(wordAt(image, 2 * static_cast<std::size_t>(i)));
        const bool doubled = doubledSlot && *doubledSlot == i && found.capacityCode >= threshold;
        values[static_cast<std::size_t>(i)] = doubled ? 2 * word : word;
    }
    return conversion;
}

} // namespace tess::tables
