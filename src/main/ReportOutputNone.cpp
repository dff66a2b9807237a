#include "ReportOutput.h"

namespace tess {

// Built without Qt: no PDF writer.
struct ReportPdfWriter::Resources { };

ReportPdfWriter::ReportPdfWriter() = default;
ReportPdfWriter::~ReportPdfWriter() = default;

print::PdfCanvasMaker ReportPdfWriter::canvasMaker()
{
    return {};
}

} // namespace tess
