#pragma once

#include "app/print/CommissioningReportPresenter.h"

#include <memory>

namespace tess {

// What writes the report command's PDF: Qt's PDF printer in a build with
// the GUI, nothing without it (the command then says it is not available).
// Whatever the writer needs lives as long as this object: main keeps it to
// its end, so that nothing of it is left to the exit handlers.
class ReportPdfWriter {
public:
    ReportPdfWriter();
    ~ReportPdfWriter();
    ReportPdfWriter(const ReportPdfWriter&) = delete;
    ReportPdfWriter& operator=(const ReportPdfWriter&) = delete;

    // Empty in a build without the GUI.
    print::PdfCanvasMaker canvasMaker();

private:
    struct Resources;
    std::unique_ptr<Resources> m_resources;
};

} // namespace tess
