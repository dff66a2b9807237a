#include "gui/app/AboutDialog.h"

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
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(geometry);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

} // namespace

AboutDialog::AboutDialog(const Workspace& ws, const QFont& mainWindowFont, QWidget* parent)
    : QDialog(parent)
    , m_core(ws)
{
    setObjectName(QStringLiteral("AboutBox"));
    setFont(mainWindowFont);
    setModal(true);
    build();
    refresh();
}

void AboutDialog::build()
{
    m_panel1 = new QFrame(this);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setFrameShape(QFrame::Panel);
    m_panel1->setFrameShadow(QFrame::Raised);
    m_panel1->setGeometry(8, 8, 361, 184);

    m_icon = label(m_panel1, "ProgramIcon", QRect(8, 8, IconWidth, IconHeight));
    m_icon->setPixmap(programIcon());
    m_icon->setScaledContents(true);
    // Moves without a button pressed must arrive too: they decide the spot.
    m_icon->setMouseTracking(true);
    m_icon->installEventFilter(this);

    m_programName = label(m_panel1, "ProgramName", QRect(88, 16, 265, 20));
    QFont titleFont = font();
    titleFont.setBold(true);
    m_programName->setFont(titleFont);
    m_productName = label(m_panel1, "ProductName", QRect(88, 40, 265, 104));
    m_productName->setWordWrap(true);
    m_comment = label(m_panel1, "Comment", QRect(8, 148, 345, 32));
    m_comment->setWordWrap(true);

    m_ok = new QPushButton(this);
    m_ok->setObjectName(QStringLiteral("OKButton"));
    m_ok->setGeometry(150, 199, 75, 25);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &AboutDialog::accept);

    // Right of the normal width: in view only when the dialog is widened.
    m_panel2 = new QFrame(this);
    m_panel2->setObjectName(QStringLiteral("Panel2"));
    m_panel2->setFrameShape(QFrame::Panel);
    m_panel2->setFrameShadow(QFrame::Raised);
    m_panel2->setGeometry(AboutPresenter::NormalWidth + 8, 8, AboutPresenter::Panel2Width, 161);
    QFont small = font();
    if (small.pointSize() > 8)
        small.setPointSize(8); // eleven lines of Label1 fit the panel's height
    m_panel2->setFont(small);
    // Label2 and Label3 start level with Label1's first model line.
    const int firstModelLine = 6 + 4 * QFontMetrics(small).lineSpacing();
    m_labels[0] = label(m_panel2, "Label1", QRect(8, 6, AboutPresenter::Panel2Width - 12, 161 - 8));
    m_labels[1] = label(m_panel2, "Label2", QRect(100, firstModelLine, 90, 161 - 8 - firstModelLine));
    m_labels[2] = label(m_panel2, "Label3", QRect(190, firstModelLine, 80, 161 - 8 - firstModelLine));

    setFixedSize(m_core.clientWidth(), AboutPresenter::ClientHeight);
}

void AboutDialog::refresh()
{
    setWindowTitle(fromUtf8(m_core.caption()));
    m_programName->setText(fromUtf8(m_core.programName()));
    m_productName->setText(fromUtf8(m_core.productName()));
    m_comment->setText(fromUtf8(m_core.comment()));
    m_ok->setText(fromUtf8(m_core.okText()));
    m_labels[0]->setText(fromUtf8(m_core.label1()));
    m_labels[1]->setText(fromUtf8(m_core.label2()));
    m_labels[2]->setText(fromUtf8(m_core.label3()));
}

void AboutDialog::ProgramIconMouseMove(const QPoint& pos)
{
    m_core.mouseMoved(pos.x(), pos.y());
    m_programName->setText(fromUtf8(m_core.programName()));
}

void AboutDialog::ProgramIconDblClick()
{
    m_core.doubleClicked();
    m_programName->setText(fromUtf8(m_core.programName()));
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_icon) {
        if (event->type() == QEvent::MouseMove)
            ProgramIconMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
        else if (event->type() == QEvent::MouseButtonDblClick)
            ProgramIconDblClick();
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
