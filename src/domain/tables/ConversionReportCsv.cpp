#include "domain/tables/ConversionReportCsv.h"

#include "domain/common/Cp932.h"
#include "domain/datafile/CompanionCsv.h"
#include "domain/text/Texts.h"

#include <array>

namespace tess::tables {

namespace {

constexpr std::array<TextId, ConversionKindCount> KindTexts {TextId::ConversionKindMeaning,
    TextId::ConversionKindOutOfRange, TextId::ConversionKindDecimalPlaces, TextId::ConversionKindDefaultDiffers,
    TextId::ConversionKindNowParameter, TextId::ConversionKindNowReserved, TextId::ConversionKindSetFromCapacity,
    TextId::ConversionKindValueConverted};

constexpr std::array<TextId, ConversionColumnCount> ColumnTitles {TextId::ConversionTitleCode,
    TextId::ConversionTitleName, TextId::ConversionTitleChange, TextId::ConversionTitleCodeBefore,
    TextId::ConversionTitleNameBefore, TextId::ConversionTitleValueBefore, TextId::ConversionTitleValueAfter,
    TextId::ConversionTitleDefaultBefore, TextId::ConversionTitleDefaultAfter, TextId::ConversionTitleRange};

void appendLine(std::string& out, const std::vector<std::string>& fields)
{
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out.push_back(',');
        out.append(datafile::csvField(fields[i]));
    }
    out.append("\r\n");
}

std::string unchangedLine(const ConversionReport& report, Language language)
{
    return message(TextId::ConversionUnchanged, std::to_string(report.unchanged)).in(language);
}

} // namespace

std::string_view conversionKindText(ConversionKind kind, Language language)
{
    return text(KindTexts[static_cast<std::size_t>(kind)], language);
}

std::string conversionKindsText(const ConversionRow& row, Language language)
{
    std::string out;
    for (int k = 0; k < ConversionKindCount; ++k) {
        const auto kind = static_cast<ConversionKind>(k);
        if (!row.has(kind))
            continue;
        if (!out.empty())
            out.append(" / ");
        out.append(conversionKindText(kind, language));
    }
    return out;
}

std::string_view conversionColumnTitle(int column, Language language)
{
    return text(ColumnTitles[static_cast<std::size_t>(column)], language);
}

std::array<std::string, ConversionColumnCount> conversionRowFields(const ConversionRow& row, Language language)
{
    const bool japanese = language == Language::Japanese;
    const bool hasAfter = !row.codeAfter.empty();
    const std::string& nameAfter = japanese ? row.nameJapaneseAfter : row.nameEnglishAfter;
    const std::string& nameBefore = japanese ? row.nameJapaneseBefore : row.nameEnglishBefore;
    return {hasAfter ? row.codeAfter : row.codeBefore, hasAfter ? nameAfter : nameBefore,
        conversionKindsText(row, language), row.codeBefore, nameBefore, row.valueBefore, row.valueAfter,
        row.defaultBefore, row.defaultAfter, row.rangeAfter};
}

std::vector<std::string> conversionSummary(const ConversionReport& report, Language language)
{
    std::vector<std::string> lines;
    for (int k = 0; k < ConversionKindCount; ++k) {
        const auto kind = static_cast<ConversionKind>(k);
        if (report.count(kind) > 0)
            lines.push_back(
                std::string(conversionKindText(kind, language)) + ": " + std::to_string(report.count(kind)));
    }
    lines.push_back(unchangedLine(report, language));
    return lines;
}

std::string formatConversionReportCsv(const ConversionReport& report, Language language)
{
    const NamedConversionReport one {{}, &report};
    return formatConversionReportsCsv(std::span(&one, 1), language);
}

std::string formatConversionReportsCsv(std::span<const NamedConversionReport> reports, Language language)
{
    const bool withFile = reports.size() > 1;
    std::string out;
    std::vector<std::string> fields;
    const auto start = [&](const std::string& file) {
        fields.clear();
        if (withFile)
            fields.push_back(file);
    };
    start(std::string(text(TextId::ConversionTitleFile, language)));
    for (const TextId title : ColumnTitles)
        fields.emplace_back(text(title, language));
    appendLine(out, fields);
    for (const NamedConversionReport& entry : reports) {
        for (const ConversionRow& row : entry.report->rows) {
            start(entry.file);
            for (std::string& field : conversionRowFields(row, language))
                fields.push_back(std::move(field));
            appendLine(out, fields);
        }
    }
    out.append("\r\n");
    for (const NamedConversionReport& entry : reports) {
        for (int k = 0; k < ConversionKindCount; ++k) {
            const auto kind = static_cast<ConversionKind>(k);
            start(entry.file);
            fields.insert(fields.end(),
                {std::string(conversionKindText(kind, language)), std::to_string(entry.report->count(kind))});
            appendLine(out, fields);
        }
        start(entry.file);
        fields.push_back(unchangedLine(*entry.report, language));
        appendLine(out, fields);
    }
    return utf8ToCp932(out);
}

} // namespace tess::tables
