#include "gui/mainwindow/GridSearchBar.h"

#include "app/common/Workspace.h"
#include "app/mainwindow/GridFilter.h"
#include "gui/common/DialogFrame.h"
#include "gui/common/QtText.h"
#include "gui/mainwindow/ParameterGridModel.h"
#include "gui/mainwindow/ParameterGridView.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QSignalBlocker>

namespace tess::gui {
namespace {

// The object names of the controls, by meaning.
namespace objectName {
constexpr const char* bar = "FindPanel1";
constexpr const char* caption = "FindLabel1";
constexpr const char* search = "FindEdit1";
constexpr const char* changedOnly = "ChangedCheckBox1";
constexpr const char* hideReserved = "ReservedCheckBox1";
constexpr const char* differencesOnly = "DifferencesCheckBox1";
constexpr const char* counts = "StatusBar1Counts";
} // namespace objectName

// The search box: Escape empties it; Enter and Down go on to the rows found.
class SearchBox : public QLineEdit {
public:
    SearchBox(ParameterGridView* grid, QWidget* parent)
        : QLineEdit(parent)
        , m_grid(grid)
    {
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        switch (event->key()) {
        case Qt::Key_Escape:
            if (!text().isEmpty()) {
                clear();
                return;
            }
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Down:
            m_grid->setFocus(Qt::ShortcutFocusReason);
            return;
        default:
            break;
        }
        QLineEdit::keyPressEvent(event);
    }

private:
    ParameterGridView* m_grid;
};

QCheckBox* filterBox(const char* name)
{
    auto* box = new QCheckBox;
    box->setObjectName(QString::fromLatin1(name));
    // The keyboard stays in the search box or the grid.
    box->setFocusPolicy(Qt::ClickFocus);
    return box;
}

} // namespace

GridSearchBar::GridSearchBar(Workspace& ws, ParameterGridModel* model, ParameterGridView* grid, QWidget* parent)
    : QWidget(parent)
    , m_ws(ws)
    , m_model(model)
    , m_grid(grid)
{
    setObjectName(QString::fromLatin1(objectName::bar));
    m_caption = new QLabel;
    m_caption->setObjectName(QString::fromLatin1(objectName::caption));
    m_search = namedControl<SearchBox>(objectName::search, grid, this);
    m_search->setClearButtonEnabled(true);
    m_caption->setBuddy(m_search);
    m_changedOnly = filterBox(objectName::changedOnly);
    m_hideReserved = filterBox(objectName::hideReserved);
    m_differencesOnly = filterBox(objectName::differencesOnly);
    m_counts = namedControl<QLabel>(objectName::counts, this);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(m_caption);
    layout->addWidget(m_search, 1);
    layout->addWidget(m_changedOnly);
    layout->addWidget(m_hideReserved);
    layout->addWidget(m_differencesOnly);

    connect(m_search, &QLineEdit::textChanged, this, &GridSearchBar::filterEdited);
    for (QCheckBox* box : {m_changedOnly, m_hideReserved, m_differencesOnly})
        connect(box, &QCheckBox::toggled, this, &GridSearchBar::filterEdited);
    connect(m_model, &ParameterGridModel::filterApplied, this, &GridSearchBar::showFilterState);

    auto* next = new QShortcut(QKeySequence(Qt::Key_F3), this);
    connect(next, &QShortcut::activated, this, [this] { stepToDifference(true); });
    auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), this);
    connect(previous, &QShortcut::activated, this, [this] { stepToDifference(false); });

    showFilterState();
}

void GridSearchBar::applyLanguage(Language language)
{
    m_caption->setText(textOf(TextId::FindCaption, language));
    m_search->setPlaceholderText(textOf(TextId::FindPlaceholder, language));
    m_changedOnly->setText(textOf(TextId::FilterChangedFromDefault, language));
    m_hideReserved->setText(textOf(TextId::FilterHideReserved, language));
    m_differencesOnly->setText(textOf(TextId::FilterDifferencesOnly, language));
    showFilterState();
}

void GridSearchBar::focusSearch()
{
    m_search->setFocus(Qt::ShortcutFocusReason);
    m_search->selectAll();
}

void GridSearchBar::filterEdited()
{
    GridFilterSettings settings;
    settings.searchText = toUtf8(m_search->text());
    settings.changedOnly = m_changedOnly->isChecked();
    settings.hideReserved = m_hideReserved->isChecked();
    settings.differencesOnly = m_differencesOnly->isChecked();
    m_model->setFilter(settings);
}

void GridSearchBar::showFilterState()
{
    const bool comparing = m_ws.doc.state.compareMode;
    if (!comparing && m_differencesOnly->isChecked()) {
        // The next comparison starts with every row; the box is unticked
        // quietly, since without a comparison it narrows nothing.
        const QSignalBlocker quiet(m_differencesOnly);
        m_differencesOnly->setChecked(false);
        GridFilterSettings settings = m_model->filter();
        settings.differencesOnly = false;
        m_model->setFilter(settings);
    }
    m_differencesOnly->setVisible(comparing);
    m_differencesOnly->setEnabled(comparing);

    if (!m_ws.doc.state.open) {
        m_counts->clear();
        return;
    }
    m_counts->setText(fromUtf8(gridCountsText(m_model->filtered(), comparing).in(m_ws.settings.language)));
}

void GridSearchBar::stepToDifference(bool forward)
{
    if (!m_ws.doc.state.compareMode)
        return;
    const QModelIndex current = m_grid->currentIndex();
    const std::optional<std::size_t> from
        = current.isValid() ? std::optional<std::size_t>(static_cast<std::size_t>(current.row())) : std::nullopt;
    if (const std::optional<std::size_t> row = tess::stepToDifference(m_model->filtered(), from, forward))
        m_grid->setCurrentIndex(m_model->index(static_cast<int>(*row), ColValue));
}

} // namespace tess::gui
