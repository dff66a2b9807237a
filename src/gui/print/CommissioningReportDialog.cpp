#include "gui/print/CommissioningReportDialog.h"

#include "app/common/Ui.h"
#include "app/common/Workspace.h"
#include "domain/text/Texts.h"
#include "gui/common/DialogFrame.h"
#include "gui/common/QtText.h"
#include "gui/print/PdfFileCanvas.h"
#include "gui/print/QtPrintCanvas.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include <ctime>

namespace tess::gui {
namespace {

// The object names of the form's controls, by meaning.
namespace objectName {
constexpr const char* window = "CommissioningReportForm";
constexpr const char* site = "SiteEdit";
constexpr const char* tag = "TagEdit";
constexpr const char* engineer = "EngineerEdit";
constexpr const char* listAll = "ListAllCheck";
constexpr const char* output = "OutputEdit";
constexpr const char* browse = "BrowseButton";
constexpr const char* save = "SaveButton";
constexpr const char* print = "PrintButton";
constexpr const char* close = "CloseButton";
} // namespace objectName

std::string now()
{
    return print::reportTimeText(std::time(nullptr));
}

} // namespace

CommissioningReportDialog::CommissioningReportDialog(Workspace& ws, Ui& ui, UserStore& store, QWidget* parent)
    : QDialog(parent)
    , m_ws(ws)
    , m_ui(ui)
    , m_presenter(ws, store)
    , m_makeCanvas(pdfCanvasMaker())
{
    frameDialog(*this, objectName::window, parent);
    build();
}

void CommissioningReportDialog::build()
{
    const print::ReportDialogCaptions captions = m_presenter.captions();
    setWindowTitle(fromUtf8(captions.caption));

    const auto lineEdit = [this](const char* name, const std::string& text) {
        auto* edit = namedControl<QLineEdit>(name, fromUtf8(text), this);
        edit->setMinimumWidth(320);
        return edit;
    };
    const auto button
        = [this](const char* name, const std::string& text) { return formButton(name, fromUtf8(text), this); };

    const print::ReportFields& fields = m_presenter.fields();
    m_site = lineEdit(objectName::site, fields.site);
    m_tag = lineEdit(objectName::tag, fields.tag);
    m_engineer = lineEdit(objectName::engineer, fields.engineer);
    m_output = lineEdit(objectName::output, m_presenter.output());
    m_listAll = namedControl<QCheckBox>(objectName::listAll, fromUtf8(captions.listAll), this);
    m_browse = button(objectName::browse, captions.browse);
    m_save = button(objectName::save, captions.save);
    m_save->setDefault(true);
    m_print = button(objectName::print, captions.print);
    m_close = button(objectName::close, captions.close);

    connect(m_site, &QLineEdit::textChanged, this, [this](const QString& t) { m_presenter.setSite(toUtf8(t)); });
    connect(m_tag, &QLineEdit::textChanged, this, [this](const QString& t) { m_presenter.setTag(toUtf8(t)); });
    connect(
        m_engineer, &QLineEdit::textChanged, this, [this](const QString& t) { m_presenter.setEngineer(toUtf8(t)); });
    connect(m_output, &QLineEdit::textChanged, this, [this](const QString& t) { m_presenter.setOutput(toPath(t)); });
    connect(m_listAll, &QCheckBox::toggled, this, [this](bool all) { m_presenter.setListAll(all); });
    connect(m_browse, &QPushButton::clicked, this, &CommissioningReportDialog::onBrowse);
    connect(m_save, &QPushButton::clicked, this, &CommissioningReportDialog::onSave);
    connect(m_print, &QPushButton::clicked, this, &CommissioningReportDialog::onPrint);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(fromUtf8(captions.siteLabel), m_site);
    form->addRow(fromUtf8(captions.tagLabel), m_tag);
    form->addRow(fromUtf8(captions.engineerLabel), m_engineer);
    form->addRow(QString(), m_listAll);
    auto* outputRow = new QHBoxLayout;
    outputRow->addWidget(m_output, 1);
    outputRow->addWidget(m_browse);
    form->addRow(fromUtf8(captions.outputLabel), outputRow);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_print);
    buttons->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

void CommissioningReportDialog::onBrowse()
{
    FileDialogRequest request;
    request.filter = std::string(text(TextId::PrintPdfFilter, m_ws.settings.language));
    request.fileName = m_presenter.output();
    request.defaultExtension = "pdf";
    request.confirmOverwrite = true;
    if (const std::optional<std::string> path = m_ui.chooseSaveFile(request))
        m_output->setText(fromPath(*path));
}

void CommissioningReportDialog::onSave()
{
    if (!m_presenter.confirmReady(m_ui, true))
        return;
    print::ReportResult result = print::ReportResult::Failed;
    {
        BusyScope busy(m_ui);
        result = m_presenter.makeFile(m_makeCanvas, m_ui, now());
    }
    if (result == print::ReportResult::Written)
        accept();
}

void CommissioningReportDialog::onPrint()
{
    if (!m_presenter.confirmReady(m_ui, false))
        return;
    QPrinter printer(QPrinter::HighResolution);
    setUpReportPage(printer);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(fromUtf8(m_presenter.captions().print));
    if (dialog.exec() != QDialog::Accepted)
        return;
    BusyScope busy(m_ui);
    QtPrintCanvas canvas(printer);
    m_presenter.make(canvas, m_ui, now());
}

} // namespace tess::gui
