#pragma once

#include "domain/print/PrintLayout.h"

#include <array>
#include <string>
#include <string_view>

namespace tess {
class Ui;
struct Workspace;
} // namespace tess

namespace tess::print {

struct PrintDialogCaptions {
    std::string caption;
    std::string numberLabel; // Label1
    std::string customerLabel; // Label2
    std::string areaFrame; // GroupBox2
    std::array<std::string, AreaCount> areas; // CheckBox1 .. CheckBox16
    std::string allCheck; // CheckBox20
    std::string printerSet; // Button3
    std::string print; // Button1
    std::string close; // Button2
};

enum class PrintResult { Printed, NoAreaChosen, Failed };

// The rules of the print dialog (`PrintDialog`) without a window. The number
// text and customer name live only as long as the dialog.
class PrintPresenter {
public:
    explicit PrintPresenter(Workspace& ws);

    PrintDialogCaptions captions() const;

    const std::string& number() const { return m_number; }
    const std::string& customer() const { return m_customer; }
    // Keep the text up to the field's length; false when it was cut.
    bool setNumber(std::string_view text);
    bool setCustomer(std::string_view text);

    bool areaChecked(int area) const { return m_checked.at(static_cast<std::size_t>(area)); }
    bool allCheckChecked() const { return m_allCheck; }
    // An area box clicked to the state given: "All check" loses its tick.
    void clickArea(int area, bool checked);
    // "All check" pressed: checks all sixteen boxes and itself, the next
    // press clears them all and itself, and so on.
    void pressAllCheck();

    // From the loaded table's area limits, or while a comparison is shown
    // from the comparison's own.
    PrintRangeList rangeList() const;
    PrintJob job() const;

    // The first step of the dialog's Print (PrintDialog::onPrint), before any
    // printer is asked: false, after the message, when no area is checked.
    bool confirmAreas(Ui& ui) const;
    // The job Print sends to the printer. Nothing checked: the message,
    // nothing printed. A failing device: the message with the device's word.
    PrintResult print(PrintCanvas& canvas, Ui& ui);
    // The pages the last job began.
    int lastPageCount() const { return m_lastPageCount; }
    // True while a job runs; the dialog cannot be closed then.
    bool printing() const { return m_printing; }
    bool canClose() const { return !m_printing; }

private:
    Workspace& m_ws;
    std::string m_number = "#";
    std::string m_customer;
    std::array<bool, AreaCount> m_checked {};
    bool m_allCheck = false;
    bool m_nextPressChecks = true;
    bool m_printing = false;
    int m_lastPageCount = 0;
};

} // namespace tess::print
