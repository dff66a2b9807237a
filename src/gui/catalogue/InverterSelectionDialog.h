#pragma once

#include "app/catalogue/InverterSelectionPresenter.h"

#include <QDialog>

class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;

namespace tess {
class Ui;
struct Workspace;
} // namespace tess

namespace tess::gui {

// The inverter selection dialog. Every rule lives in the application's
// InverterSelectionPresenter: the form forwards the user's events to it and shows its
// state. Controls carry their program names (ComboBox1, Label5, Button1,
// SpeedButton1, PopupMenu1, ...) as object names, from one table in the
// form's source.
class InverterSelectionDialog : public QDialog {
    Q_OBJECT

public:
    InverterSelectionDialog(Workspace& ws, Ui& ui, catalogue::SelectionPurpose purpose, QWidget* parent = nullptr);

    // Opens the presenter for its purpose and shows its state. False when
    // the dialog closed at once (a data set that allows no move); exec()
    // then returns without showing anything.
    bool begin();
    // Accepted after OK; Rejected after Cancel or a refused move (the
    // presenter's outcome tells the two apart).
    int exec() override;
    void reject() override;

    const catalogue::InverterSelectionPresenter& selection() const { return m_core; }
    // Opens the ROM version picker at a global position.
    void popUpPicker(const QPoint& globalPos);
    // The hidden diagnostic labels and the dialog width that goes with them.
    void setDiagnosticsVisible(bool visible);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onModelChosen(int index);
    void onControlModeChosen(int index);
    void onCapacityChosen(int index);
    void onOk();
    void onRomVersionPicked(const QString& code);

    void build();
    void applyCaptions();
    void rebuildPicker();
    // Shows the presenter's state; closes the dialog once the presenter has closed.
    void refresh();

    Workspace& m_ws;
    catalogue::InverterSelectionPresenter m_core;
    catalogue::SelectionPurpose m_purpose;

    QLabel* m_modelCaption = nullptr;
    QLabel* m_controlModeCaption = nullptr;
    QLabel* m_capacityCaption = nullptr;
    QLabel* m_romVersionCaption = nullptr;
    QLabel* m_romText = nullptr; // the ROM version code chosen
    // The last conversion-matrix cell looked at: row code, column code,
    // result, row index, column index; shown on request.
    QLabel* m_diagnostics[5] = {};
    QComboBox* m_model = nullptr;
    QComboBox* m_controlMode = nullptr;
    QComboBox* m_capacity = nullptr;
    QComboBox* m_romVersion = nullptr; // never visible
    QFrame* m_romTextPanel = nullptr;
    QToolButton* m_pickerButton = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QMenu* m_picker = nullptr; // the ROM version picker
    bool m_begun = false;
};

} // namespace tess::gui
