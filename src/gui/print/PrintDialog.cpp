#include "gui/print/PrintDialog.h"

#include "app/common/Ui.h"
#include "app/common/Workspace.h"
#include "domain/common/FileIo.h"
#include "domain/text/Texts.h"
#include "gui/common/DialogFrame.h"
#include "gui/common/QtText.h"
#include "gui/print/QtPrintCanvas.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>

namespace tess::gui {
namespace {

// The object names of the form's controls, by meaning; area a's check box
// is "CheckBox<a + 1>".
namespace objectName {
constexpr const char* window = "PrintForm";
constexpr const char* numberLabel = "Label1";
constexpr const char* number = "Edit1";
constexpr const char* customerLabel = "Label2";
constexpr const char* customer = "Edit2";
constexpr const char* areaFrame = "GroupBox2";
constexpr const char* areaCheck = "CheckBox%1";
constexpr const char* allCheck = "CheckBox20";
constexpr const char* print = "Button1";
constexpr const char* close = "Button2";
constexpr const char* printerSet = "Button3";
} // namespace objectName

constexpr int FormWidth = 456;
constexpr int FormHeight = 336;
constexpr int AreaColumns = 5;

} // namespace

PrintDialog::PrintDialog(Workspace& ws, Ui& ui, QWidget* parent)
    : QDialog(parent)
    , m_ws(ws)
    , m_ui(ui)
    , m_presenter(ws)
    , m_printer(QPrinter::HighResolution)
{
    frameDialog(*this, objectName::window, parent);
    build();

    const print::PrintDialogCaptions captions = m_presenter.captions();
    setWindowTitle(fromUtf8(captions.caption));
    m_numberLabel->setText(fromUtf8(captions.numberLabel));
    m_customerLabel->setText(fromUtf8(captions.customerLabel));
    m_areaFrame->setTitle(fromUtf8(captions.areaFrame));
    for (std::size_t a = 0; a < m_areas.size(); ++a)
        m_areas[a]->setText(fromUtf8(captions.areas[a]));
    m_allCheck->setText(fromUtf8(captions.allCheck));
    m_printerSet->setText(fromUtf8(captions.printerSet));
    m_print->setText(fromUtf8(captions.print));
    m_close->setText(fromUtf8(captions.close));

    m_number->setText(fromUtf8(m_presenter.number()));
    m_customer->setText(fromUtf8(m_presenter.customer()));
    showChecks();
}

void PrintDialog::build()
{
    m_numberLabel = namedControl<QLabel>(objectName::numberLabel, this);
    m_numberLabel->setGeometry(12, 14, 120, 20);
    m_number = namedControl<QLineEdit>(objectName::number, this);
    m_number->setGeometry(136, 12, 200, 24);
    m_number->setMaxLength(int(print::NumberMaxChars));
    connect(
        m_number, &QLineEdit::textChanged, this, [this](const QString& text) { m_presenter.setNumber(toUtf8(text)); });

    m_customerLabel = namedControl<QLabel>(objectName::customerLabel, this);
    m_customerLabel->setGeometry(12, 46, 120, 20);
    m_customer = namedControl<QLineEdit>(objectName::customer, this);
    m_customer->setGeometry(136, 44, FormWidth - 148, 24);
    m_customer->setMaxLength(int(print::CustomerMaxChars));
    connect(m_customer, &QLineEdit::textChanged, this,
        [this](const QString& text) { m_presenter.setCustomer(toUtf8(text)); });

    m_areaFrame = namedControl<QGroupBox>(objectName::areaFrame, this);
    m_areaFrame->setGeometry(8, 80, FormWidth - 16, 168);
    // Fund. on a line of its own (its Japanese caption is long), the other
    // fifteen areas in rows of five.
    for (int a = 0; a < AreaCount; ++a) {
        auto* box = new QCheckBox(m_areaFrame);
        box->setObjectName(QString::fromLatin1(objectName::areaCheck).arg(a + 1));
        if (a == 0) {
            box->setGeometry(12, 24, 240, 22);
        } else {
            const int column = (a - 1) % AreaColumns;
            const int row = (a - 1) / AreaColumns;
            box->setGeometry(12 + column * 86, 56 + row * 34, 84, 22);
        }
        connect(box, &QCheckBox::clicked, this, [this, a](bool checked) { onArea(a, checked); });
        m_areas[static_cast<std::size_t>(a)] = box;
    }

    m_allCheck = namedControl<QCheckBox>(objectName::allCheck, this);
    m_allCheck->setGeometry(20, 256, 160, 22);
    connect(m_allCheck, &QCheckBox::clicked, this, &PrintDialog::onAllAreas);

    const int buttonY = FormHeight - 40;
    m_printerSet = formButton(objectName::printerSet, this);
    m_printerSet->setGeometry(8, buttonY, 120, 28);
    connect(m_printerSet, &QPushButton::clicked, this, &PrintDialog::onPrinterSetup);
    m_print = formButton(objectName::print, this);
    m_print->setGeometry(FormWidth - 256, buttonY, 120, 28);
    connect(m_print, &QPushButton::clicked, this, &PrintDialog::onPrint);
    m_close = formButton(objectName::close, this);
    m_close->setGeometry(FormWidth - 128, buttonY, 120, 28);
    connect(m_close, &QPushButton::clicked, this, &PrintDialog::onClose);

    setFixedSize(FormWidth, FormHeight);
}

void PrintDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    if (const QScreen* s = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(s->availableGeometry().center());
        move(frame.topLeft());
    }
}

void PrintDialog::closeEvent(QCloseEvent* event)
{
    if (!m_presenter.canClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void PrintDialog::reject()
{
    if (m_presenter.canClose())
        QDialog::reject();
}

void PrintDialog::onArea(int area, bool checked)
{
    m_presenter.clickArea(area, checked);
    showChecks();
}

void PrintDialog::onAllAreas()
{
    m_presenter.pressAllCheck();
    showChecks();
}

void PrintDialog::showChecks()
{
    for (std::size_t a = 0; a < m_areas.size(); ++a)
        m_areas[a]->setChecked(m_presenter.areaChecked(int(a)));
    m_allCheck->setChecked(m_presenter.allCheckChecked());
}

void PrintDialog::setButtonsEnabled(bool enabled)
{
    m_print->setEnabled(enabled);
    m_close->setEnabled(enabled);
    m_printerSet->setEnabled(enabled);
}

bool PrintDialog::choosePdfFile()
{
    FileDialogRequest request;
    request.filter = std::string(text(TextId::PrintPdfFilter, m_ws.settings.language));
    request.fileName = "print.pdf";
    request.defaultExtension = "pdf";
    request.confirmOverwrite = true;
    const std::optional<std::string> path = m_ui.chooseSaveFile(request);
    if (!path)
        return false;
    m_printer.setOutputFileName(fromPath(*path));
    return true;
}

void PrintDialog::onPrint()
{
    if (!m_presenter.confirmAreas(m_ui))
        return;
    // A file chosen here serves this job only; the next asks again rather
    // than overwrite it unasked.
    const bool askedForFile = m_printer.outputFormat() == QPrinter::PdfFormat && m_printer.outputFileName().isEmpty();
    if (askedForFile && !choosePdfFile())
        return;

    setButtonsEnabled(false);
    {
        BusyScope busy(m_ui);
        printJob();
    }
    if (askedForFile)
        m_printer.setOutputFileName(QString());
    setButtonsEnabled(true);
}

void PrintDialog::printJob()
{
    const QString file = m_printer.outputFileName();
    if (file.isEmpty()) {
        QtPrintCanvas canvas(m_printer);
        m_presenter.print(canvas, m_ui);
        return;
    }
    // A file is replaced as every saved file is: only by a complete
    // printout, keeping its permissions and any link to it.
    IoError error;
    const auto printTo = [&](const std::string& temporary) {
        m_printer.setOutputFileName(fromPath(temporary));
        QtPrintCanvas canvas(m_printer);
        return m_presenter.print(canvas, m_ui) == print::PrintResult::Printed;
    };
    const bool replaced = replaceFileMadeBy(*m_ws.writer, toPath(file), printTo, &error);
    m_printer.setOutputFileName(file);
    if (!replaced && !error.path.empty())
        m_ui.showMessage(
            withCause(message(TextId::PrintFailed), fileReasonCause(error.path, error.detail)), m_ws.settings.language);
}

void PrintDialog::onClose()
{
    close();
}

void PrintDialog::onPrinterSetup()
{
    QPrintDialog dialog(&m_printer, this);
    dialog.setWindowTitle(fromUtf8(m_presenter.captions().printerSet));
    // Printer, paper and orientation only: what and how many to print is
    // this form's business.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, false);
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    dialog.exec();
}

} // namespace tess::gui
