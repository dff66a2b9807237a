#include "app/mainwindow/ConversionReportPresenter.h"

#include "app/common/Ui.h"
#include "app/common/Workspace.h"
#include "app/mainwindow/ConversionReportFile.h"
#include "app/mainwindow/GridFilter.h"
#include "domain/tables/ConversionReportCsv.h"
#include "domain/text/Texts.h"

#include <array>
#include <string_view>

namespace tess {

namespace {

// "ReadData.csl" offers "ReadData-report.csv" beside it.
std::string suggestedReportName(const std::string& dataFile)
{
    if (dataFile.empty())
        return "report.csv";
    std::string name = dataFile;
    const std::size_t slash = name.find_last_of('/');
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        name.erase(dot);
    return name + "-report.csv";
}

} // namespace

ConversionReportPresenter::ConversionReportPresenter(Workspace& ws, Ui& ui)
    : m_ws(ws)
    , m_ui(ui)
    , m_language(ws.settings.language)
    , m_report(ws.doc.conversionReport.value_or(tables::ConversionReport {}))
{
    setFilter({});
}

std::string ConversionReportPresenter::caption() const
{
    return std::string(text(TextId::ConversionReportTitle, m_language));
}

std::string ConversionReportPresenter::filterCaption() const
{
    return std::string(text(TextId::ConversionReportFind, m_language));
}

std::string ConversionReportPresenter::saveCaption() const
{
    return std::string(text(TextId::ConversionSaveReport, m_language));
}

std::string ConversionReportPresenter::closeCaption() const
{
    return std::string(text(TextId::ConversionReportClose, m_language));
}

std::vector<std::string> ConversionReportPresenter::columnTitles() const
{
    std::vector<std::string> titles;
    for (int column = 0; column < tables::ConversionColumnCount; ++column)
        titles.emplace_back(tables::conversionColumnTitle(column, m_language));
    return titles;
}

std::vector<std::string> ConversionReportPresenter::summaryLines() const
{
    return tables::conversionSummary(m_report, m_language);
}

void ConversionReportPresenter::setFilter(std::string searchText)
{
    m_filter = std::move(searchText);
    m_shown.clear();
    for (std::size_t i = 0; i < m_report.rows.size(); ++i) {
        const tables::ConversionRow& row = m_report.rows[i];
        // Whatever the language: as in the grid, both names are looked at.
        const std::array<std::string_view, 6> fields {row.codeAfter, row.nameJapaneseAfter, row.nameEnglishAfter,
            row.codeBefore, row.nameJapaneseBefore, row.nameEnglishBefore};
        if (matchesGridSearch(m_filter, fields))
            m_shown.push_back(static_cast<int>(i));
    }
}

std::vector<std::string> ConversionReportPresenter::shownRow(int index) const
{
    const auto fields
        = tables::conversionRowFields(m_report.rows[static_cast<std::size_t>(m_shown.at(index))], m_language);
    return {fields.begin(), fields.end()};
}

int ConversionReportPresenter::shownSlot(int index) const
{
    return m_report.rows[static_cast<std::size_t>(m_shown.at(index))].slot;
}

std::string ConversionReportPresenter::shownCountText() const
{
    return message(TextId::ConversionReportShown, std::to_string(m_shown.size()), std::to_string(m_report.rows.size()))
        .in(m_language);
}

bool ConversionReportPresenter::save()
{
    FileDialogRequest request;
    request.filter = std::string(text(TextId::ConversionReportFilter, Language::English));
    request.fileName = suggestedReportName(m_ws.doc.state.fileName);
    request.defaultExtension = "csv";
    request.confirmOverwrite = true;
    const std::optional<std::string> path = m_ui.chooseSaveFile(request);
    if (!path)
        return false;
    const BusyScope busy(m_ui);
    return saveConversionReport(m_report, m_language, *path, *m_ws.writer, m_ui);
}

} // namespace tess
