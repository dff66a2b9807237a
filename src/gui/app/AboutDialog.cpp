#include "gui/app/AboutDialog.h"

#include "gui/common/DialogFrame.h"
#include "gui/common/Placement.h"
#include "gui/common/QtText.h"

#include <QFont>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSvgRenderer>

namespace tess::gui {
namespace {

// The object names of the dialog's controls, by meaning.
namespace objectName {
constexpr const char* window = "AboutBox";
constexpr const char* mainPanel = "Panel1";
constexpr const char* icon = "ProgramIcon";
constexpr const char* programName = "ProgramName";
constexpr const char* productName = "ProductName";
constexpr const char* comment = "Comment";
constexpr const char* ok = "OKButton";
constexpr const char* countsPanel = "Panel2";
constexpr const char* counts[] = {"Label1", "Label2", "Label3"};
} // namespace objectName

constexpr int IconWidth = 65;
constexpr int IconHeight = 57;

// The program's artwork stretched over the whole image, as the icon is sized.
QPixmap programIcon()
{
    QPixmap pixmap(IconWidth, IconHeight);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/resources/tessaline.svg"));
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        renderer.render(&painter, QRectF(0, 0, IconWidth, IconHeight));
    }
    return pixmap;
}

QLabel* label(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* l = namedControl<QLabel>(name, parent);
    l->setGeometry(geometry);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

} // namespace

AboutDialog::AboutDialog(const Workspace& ws, const QFont& mainWindowFont, QWidget* parent)
    : QDialog(parent)
    , m_core(ws)
{
    frameDialog(*this, objectName::window, mainWindowFont);
    setModal(true);
    build();
    refresh();
}

void AboutDialog::build()
{
    m_mainPanel = namedControl<QFrame>(objectName::mainPanel, this);
    m_mainPanel->setFrameShape(QFrame::Panel);
    m_mainPanel->setFrameShadow(QFrame::Raised);
    m_mainPanel->setGeometry(8, 8, 361, 184);

    m_icon = label(m_mainPanel, objectName::icon, QRect(8, 8, IconWidth, IconHeight));
    m_icon->setPixmap(programIcon());
    m_icon->setScaledContents(true);
    // Moves without a button pressed must arrive too: they decide the spot.
    m_icon->setMouseTracking(true);
    m_icon->installEventFilter(this);

    m_programName = label(m_mainPanel, objectName::programName, QRect(88, 16, 265, 20));
    QFont titleFont = font();
    titleFont.setBold(true);
    m_programName->setFont(titleFont);
    m_productName = label(m_mainPanel, objectName::productName, QRect(88, 40, 265, 104));
    m_productName->setWordWrap(true);
    m_comment = label(m_mainPanel, objectName::comment, QRect(8, 148, 345, 32));
    m_comment->setWordWrap(true);

    m_ok = namedControl<QPushButton>(objectName::ok, this);
    m_ok->setGeometry(150, 199, 75, 25);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &AboutDialog::accept);

    // Right of the normal width: in view only when the dialog is widened.
    m_countsPanel = namedControl<QFrame>(objectName::countsPanel, this);
    m_countsPanel->setFrameShape(QFrame::Panel);
    m_countsPanel->setFrameShadow(QFrame::Raised);
    m_countsPanel->setGeometry(AboutPresenter::NormalWidth + 8, 8, AboutPresenter::CountsPanelWidth, 161);
    QFont small = font();
    if (small.pointSize() > 8)
        small.setPointSize(8); // eleven lines of the first column fit the panel's height
    m_countsPanel->setFont(small);
    // The second and third columns start level with the first column's first model line.
    const int firstModelLine = 6 + 4 * QFontMetrics(small).lineSpacing();
    m_counts[0]
        = label(m_countsPanel, objectName::counts[0], QRect(8, 6, AboutPresenter::CountsPanelWidth - 12, 161 - 8));
    m_counts[1] = label(m_countsPanel, objectName::counts[1], QRect(100, firstModelLine, 90, 161 - 8 - firstModelLine));
    m_counts[2] = label(m_countsPanel, objectName::counts[2], QRect(190, firstModelLine, 80, 161 - 8 - firstModelLine));

    setFixedSize(m_core.clientWidth(), AboutPresenter::ClientHeight);
}

void AboutDialog::refresh()
{
    setWindowTitle(fromUtf8(m_core.caption()));
    m_programName->setText(fromUtf8(m_core.programName()));
    m_productName->setText(fromUtf8(m_core.productName()));
    m_comment->setText(fromUtf8(m_core.comment()));
    m_ok->setText(fromUtf8(m_core.okText()));
    m_counts[0]->setText(fromUtf8(m_core.countsFirstColumn()));
    m_counts[1]->setText(fromUtf8(m_core.countsSecondColumn()));
    m_counts[2]->setText(fromUtf8(m_core.countsThirdColumn()));
}

void AboutDialog::onIconMouseMove(const QPoint& pos)
{
    m_core.mouseMoved(pos.x(), pos.y());
    m_programName->setText(fromUtf8(m_core.programName()));
}

void AboutDialog::onIconDoubleClick()
{
    m_core.doubleClicked();
    m_programName->setText(fromUtf8(m_core.programName()));
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_icon) {
        if (event->type() == QEvent::MouseMove)
            onIconMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
        else if (event->type() == QEvent::MouseButtonDblClick)
            onIconDoubleClick();
    }
    return QDialog::eventFilter(watched, event);
}

void AboutDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    centreOnScreen(this);
}

} // namespace tess::gui
