#include "domain/datafile/CompanionCsv.h"

#include "domain/catalogue/ModelCatalogue.h"
#include "domain/common/Cp932.h"
#include "domain/text/Texts.h"

#include <algorithm>
#include <array>

namespace tess::datafile {
namespace {

constexpr std::string_view CslExtension = ".csl";

bool endsWithCslExtension(const std::string& path)
{
    if (path.size() <= CslExtension.size())
        return false;
    const std::size_t start = path.size() - CslExtension.size();
    if (path[start - 1] == '/')
        return false; // a file named only ".csl"
    for (std::size_t i = 0; i < CslExtension.size(); ++i) {
        char c = path[start + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != CslExtension[i])
            return false;
    }
    return true;
}

constexpr std::array<TextId, GridColumnCount> columnTitles {TextId::GridTitleCode, TextId::GridTitleName,
    TextId::GridTitleRange, TextId::GridTitleDefault, TextId::GridTitleValue, TextId::GridTitleDecimals,
    TextId::GridTitleFigures};

// One field as csvField gives it, appended to out.
void appendCsvField(std::string& out, std::string_view text)
{
    const bool plain
        = std::none_of(text.begin(), text.end(), [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
    if (plain) {
        out.append(text);
        return;
    }
    out.push_back('"');
    for (const char c : text) {
        if (c == '"')
            out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

template <typename Fields> void appendFields(std::string& out, const Fields& fields)
{
    for (std::size_t c = 0; c < GridColumnCount; ++c) {
        if (c > 0)
            out.push_back(',');
        appendCsvField(out, fields[c]);
    }
    out.append("\r\n");
}

} // namespace

std::string companionCsvPath(const std::string& cslPath)
{
    if (endsWithCslExtension(cslPath))
        return cslPath.substr(0, cslPath.size() - CslExtension.size()) + ".csv";
    return cslPath + ".csv";
}

std::string csvField(std::string_view text)
{
    std::string field;
    appendCsvField(field, text);
    return field;
}

std::optional<std::string> csvIdentityLine(const InverterIdentity& identity, Language language)
{
    const std::optional<catalogue::Model> known = catalogue::modelOf(identity.model);
    if (!known)
        return std::string(text(TextId::DataFileNoSupportMachine, language));
    const catalogue::Model model = *known;

    const std::string_view controlMode = catalogue::controlModeName(model, identity.controlMode, language);
    // For LX75RTP the list the selection offers, which exists at every ROM
    // index, where the identity boxes show none from index 19 on.
    const auto list = model == catalogue::Model::LX75RTP
        ? catalogue::capacityListForSelection(model, identity.romVersion)
        : catalogue::capacityList(model, identity.romVersion);
    const auto romText = catalogue::romVersionText(model, identity.romVersion);
    if (controlMode.empty() || !list || !romText)
        return std::nullopt;
    const auto entries = catalogue::capacityListEntries(*list);
    if (identity.capacity < 0 || static_cast<std::size_t>(identity.capacity) >= entries.size())
        return std::nullopt;

    std::string line = csvField(catalogue::modelName(model));
    line.push_back(',');
    line.append(csvField(controlMode));
    line.push_back(',');
    line.append(csvField(entries[static_cast<std::size_t>(identity.capacity)]));
    line.push_back(',');
    line.append(csvField(*romText));
    return line;
}

std::string formatCompanionCsv(const InverterIdentity& identity, const GridSource& grid)
{
    const Language language = grid.language;
    std::string out;
    out.reserve(80 * SlotCount);
    if (const auto line = csvIdentityLine(identity, language)) {
        out.append(*line);
        out.append("\r\n");
    }
    std::array<std::string_view, GridColumnCount> titles;
    for (std::size_t c = 0; c < GridColumnCount; ++c)
        titles[c] = text(columnTitles[c], language);
    appendFields(out, titles);
    std::array<std::string, GridColumnCount> fields;
    for (int row = 1; row <= SlotCount; ++row) {
        for (std::size_t c = 0; c < GridColumnCount; ++c)
            fields[c] = cellText(grid, row, static_cast<int>(c));
        appendFields(out, fields);
    }
    return utf8ToCp932(out);
}

} // namespace tess::datafile
