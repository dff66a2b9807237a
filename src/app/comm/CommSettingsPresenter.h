#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tess {
struct Workspace;
class UserStore;
} // namespace tess

namespace tess::comm {

constexpr int PortCount = 255; // "COM1" .. "COM255"
constexpr int WriteWaitMinMs = 120;
constexpr int WriteWaitMaxMs = 1000;
constexpr int WriteWaitStepMs = 1;

// The port list item at index (0 is "COM1").
std::string portItem(int index);
// The item a stored port name selects: "COM" followed by a decimal number
// from 1 to 255 as the list spells it selects that port; anything else, an empty
// value included, selects the first item. The prefix is matched exactly,
// as the program itself writes it.
int portIndexOfStored(std::string_view stored);
// The item a text typed into the port list names, or -1 when it names none.
// Typing is forgiving: spaces around the name and letter case do not matter.
int portIndexOfTyped(std::string_view typed);

struct CommSetCaptions {
    std::string title;
    std::string portFrame; // RadioGroup1
    std::string waitLabel; // Label1
    std::string waitUnit; // Label2
    std::string close; // Button2
};

// The rules of the serial port settings dialog (`CommSettingsDialog`) without a
// window. Opening reads the stored port and the current write wait; only
// Close takes them, so closing by the title-bar button needs no call at all.
class CommSettingsPresenter {
public:
    CommSettingsPresenter(Workspace& ws, UserStore& store);

    CommSetCaptions captions() const;
    const std::vector<std::string>& portItems() const { return m_items; }

    // The list's item; -1 when the list shows no item.
    int selectedPort() const { return m_selected; }
    void selectPort(int index);
    int writeWaitMs() const { return m_writeWaitMs; }
    // Held within 120 .. 1000.
    void setWriteWaitMs(int ms);

    // Close: the selected item becomes the port name and is stored (a list
    // showing no item leaves the port as it was); the wait is taken. False
    // when the store could not keep the port for the next start (the port is
    // taken for this run all the same).
    bool close();

private:
    Workspace& m_ws;
    UserStore& m_store;
    std::vector<std::string> m_items;
    int m_selected = 0;
    int m_writeWaitMs = WriteWaitMinMs;
};

} // namespace tess::comm
