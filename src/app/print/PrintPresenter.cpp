#include "app/print/PrintPresenter.h"

#include "app/common/Ui.h"
#include "app/common/Workspace.h"
#include "app/mainwindow/DocumentGrid.h"
#include "domain/text/Texts.h"

namespace tess::print {
namespace {

std::string textIn(TextId id, Language language)
{
    return std::string(text(id, language));
}

} // namespace

PrintPresenter::PrintPresenter(Workspace& ws)
    : m_ws(ws)
{
}

PrintDialogCaptions PrintPresenter::captions() const
{
    const Language lang = m_ws.settings.language;
    PrintDialogCaptions c;
    c.caption = textIn(TextId::PrintCaption, lang);
    c.numberLabel = textIn(TextId::PrintNumberLabel, lang);
    c.customerLabel = textIn(TextId::PrintCustomerLabel, lang);
    c.areaFrame = textIn(TextId::PrintAreaFrame, lang);
    c.areas[0] = textIn(TextId::PrintAreaFund, lang);
    for (std::size_t a = 1; a < c.areas.size(); ++a)
        c.areas[a] = std::string(dataAreaNames[a]) + textIn(TextId::PrintAreaSuffix, lang);
    c.allCheck = textIn(TextId::PrintAllCheck, lang);
    c.printerSet = textIn(TextId::PrintPrinterSet, lang);
    c.print = textIn(TextId::PrintExecute, lang);
    c.close = textIn(TextId::PrintClose, lang);
    return c;
}

bool PrintPresenter::setNumber(std::string_view text)
{
    m_number = limitChars(text, NumberMaxChars);
    return m_number.size() == text.size();
}

bool PrintPresenter::setCustomer(std::string_view text)
{
    m_customer = limitChars(text, CustomerMaxChars);
    return m_customer.size() == text.size();
}

void PrintPresenter::clickArea(int area, bool checked)
{
    if (area < 0 || area >= AreaCount)
        return;
    m_checked[static_cast<std::size_t>(area)] = checked;
    m_allCheck = false;
}

void PrintPresenter::pressAllCheck()
{
    m_checked.fill(m_nextPressChecks);
    m_allCheck = m_nextPressChecks;
    m_nextPressChecks = !m_nextPressChecks;
}

PrintRangeList PrintPresenter::rangeList() const
{
    const Document& doc = m_ws.doc;
    if (doc.state.compareMode) {
        // Before a comparison is laid out, its areas are none.
        static const tables::Comparison none;
        const tables::Comparison& shown = doc.comparison ? *doc.comparison : none;
        return buildPrintRangeList(m_checked, shown.areaFirst, shown.areaLast);
    }
    return buildPrintRangeList(m_checked, doc.table.areaFirst, doc.table.areaLast);
}

PrintJob PrintPresenter::job() const
{
    const Document& doc = m_ws.doc;
    PrintJob job;
    job.language = m_ws.settings.language;
    job.compareMode = doc.state.compareMode;
    job.machine = doc.identityTexts.model + " " + doc.identityTexts.controlMode;
    job.capacity = doc.identityTexts.capacity;
    job.number = m_number;
    job.customer = m_customer;
    job.ranges = rangeList();
    job.grid = gridSource(m_ws);
    return job;
}

bool PrintPresenter::confirmAreas(Ui& ui) const
{
    if (std::find(m_checked.begin(), m_checked.end(), true) != m_checked.end())
        return true;
    ui.showMessage(message(TextId::PrintAreaNotDefined), m_ws.settings.language);
    return false;
}

PrintResult PrintPresenter::print(PrintCanvas& canvas, Ui& ui)
{
    if (m_printing)
        return PrintResult::Failed;
    if (!confirmAreas(ui))
        return PrintResult::NoAreaChosen;

    m_printing = true;
    const PrintOutcome outcome = printPages(canvas, job());
    m_printing = false;
    m_lastPageCount = outcome.pages;
    if (outcome.status.ok)
        return PrintResult::Printed;

    Message failure = message(TextId::PrintFailed);
    if (!outcome.status.detail.empty()) {
        failure.ja += "\n" + outcome.status.detail;
        failure.en += "\n" + outcome.status.detail;
    }
    ui.showMessage(failure, m_ws.settings.language);
    return PrintResult::Failed;
}

} // namespace tess::print
