#pragma once

#include "domain/print/CommissioningReport.h"

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace tess {
class Ui;
class UserStore;
struct Workspace;
} // namespace tess

namespace tess::print {

// The per-user store's names of what the engineer typed last.
constexpr std::string_view UserValueReportSite = "ReportSite";
constexpr std::string_view UserValueReportTag = "ReportTag";
constexpr std::string_view UserValueReportEngineer = "ReportEngineer";

// What the engineer chooses for a report.
struct ReportFields {
    std::string site;
    std::string tag;
    std::string engineer;
    bool listAll = false; // every parameter, not only those changed from default

    friend bool operator==(const ReportFields&, const ReportFields&) = default;
};

ReportFields rememberedReportFields(UserStore& store);
void rememberReportFields(UserStore& store, const ReportFields& fields);

// "2026-12-11 09:30" in local time.
std::string reportTimeText(std::time_t when);

// The report of the open data set: its identity and file, the rows of the
// grid (changed from default, or all) grouped by area in the language
// given, and the last write to a drive of the same model and ROM version
// that the journals in the workspace's folder record.
CommissioningReportInput commissioningReportInput(
    const Workspace& ws, const ReportFields& fields, Language language, const std::string& dateTime);

struct ReportDialogCaptions {
    std::string caption;
    std::string siteLabel;
    std::string tagLabel;
    std::string engineerLabel;
    std::string listAll;
    std::string outputLabel;
    std::string browse;
    std::string save; // writes the PDF
    std::string print; // to a printer
    std::string close;
};

enum class ReportResult { Written, Failed };

// Makes the canvas that writes a PDF file at the path given.
using PdfCanvasMaker = std::function<std::unique_ptr<PrintCanvas>(const std::string& path)>;

struct ReportFileOutcome {
    ReportResult result = ReportResult::Failed;
    int pages = 0;
};

// The report as a PDF at path: drawn into a file beside it and put in its
// place only once complete, so that a report that fails leaves an earlier
// file as it was. Says why it failed, naming the file.
ReportFileOutcome writeReportFile(const Workspace& ws, Ui& ui, const PdfCanvasMaker& makeCanvas,
    const std::string& path, const CommissioningReportInput& input);

// The small form of File > Commissioning Report without a window: the
// fields start as the user last typed them and are kept when a report is
// made.
class CommissioningReportPresenter {
public:
    CommissioningReportPresenter(Workspace& ws, UserStore& store);

    ReportDialogCaptions captions() const;

    const ReportFields& fields() const { return m_fields; }
    void setSite(std::string_view text) { m_fields.site = text; }
    void setTag(std::string_view text) { m_fields.tag = text; }
    void setEngineer(std::string_view text) { m_fields.engineer = text; }
    void setListAll(bool all) { m_fields.listAll = all; }

    // Where the PDF goes; it starts as the data file's name with ".pdf".
    const std::string& output() const { return m_output; }
    void setOutput(std::string_view path) { m_output = path; }

    // Whether a report can be made now: a data set with its table, saved
    // (the report names the file's SHA-256, so the file must hold what the
    // report shows), and, to a file, an output named. Says why not.
    bool confirmReady(Ui& ui, bool toFile) const;

    // Draws the report on the canvas (given for the output or a printer)
    // and keeps the fields for next time. A failing device: the message with
    // the device's word.
    ReportResult make(PrintCanvas& canvas, Ui& ui, const std::string& dateTime);
    // The same to the output file (writeReportFile).
    ReportResult makeFile(const PdfCanvasMaker& makeCanvas, Ui& ui, const std::string& dateTime);
    int lastPageCount() const { return m_lastPageCount; }

private:
    Workspace& m_ws;
    UserStore& m_store;
    ReportFields m_fields;
    std::string m_output;
    int m_lastPageCount = 0;
};

// The data file's path with ".pdf" in place of its extension.
std::string reportPathFor(const std::string& dataFile);

} // namespace tess::print
