#include "ReportOutput.h"

#include "gui/print/PdfFileCanvas.h"

#include <QGuiApplication>

namespace tess {

// The PDF printer needs a GUI application for its fonts, made only when a
// report is written.
struct ReportPdfWriter::Resources {
    int argc = 1;
    char name[14] = "tessaline-cli";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QGuiApplication> application;
};

ReportPdfWriter::ReportPdfWriter()
    : m_resources(std::make_unique<Resources>())
{
}

ReportPdfWriter::~ReportPdfWriter() = default;

print::PdfCanvasMaker ReportPdfWriter::canvasMaker()
{
    return [this](const std::string& path) -> std::unique_ptr<print::PrintCanvas> {
        Resources& r = *m_resources;
        if (!QGuiApplication::instance()) {
            // The command line needs no display: the offscreen platform,
            // unless the user chose one.
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            r.application = std::make_unique<QGuiApplication>(r.argc, r.argv);
        }
        return std::make_unique<gui::PdfFileCanvas>(path);
    };
}

} // namespace tess
