#include "app/comm/CommSettingsPresenter.h"

#include "app/common/Workspace.h"
#include "domain/common/TextParse.h"
#include "domain/settings/UserStore.h"
#include "domain/text/Texts.h"

#include <algorithm>

namespace tess::comm {
namespace {

constexpr std::string_view PortPrefix = "COM";

// The port number of "COM" + digits, or 0 when the rest is no number from
// 1 to 255 in the list's own spelling (no sign, no leading zero).
int portNumber(std::string_view digits)
{
    if (digits.empty() || digits.front() == '0')
        return 0;
    int number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return 0;
        number = number * 10 + (c - '0');
        if (number > PortCount)
            return 0;
    }
    return number;
}

} // namespace

std::string portItem(int index)
{
    return std::string(PortPrefix) + std::to_string(index + 1);
}

int portIndexOfStored(std::string_view stored)
{
    if (!stored.starts_with(PortPrefix))
        return 0;
    const int number = portNumber(stored.substr(PortPrefix.size()));
    return number > 0 ? number - 1 : 0;
}

int portIndexOfTyped(std::string_view typed)
{
    typed = trimSpacesAndTabs(typed);
    if (typed.size() < PortPrefix.size())
        return -1;
    for (std::size_t i = 0; i < PortPrefix.size(); ++i)
        if (upperAscii(typed[i]) != PortPrefix[i])
            return -1;
    const int number = portNumber(typed.substr(PortPrefix.size()));
    return number > 0 ? number - 1 : -1;
}

CommSettingsPresenter::CommSettingsPresenter(Workspace& ws, UserStore& store)
    : m_ws(ws)
    , m_store(store)
{
    m_items.reserve(PortCount);
    for (int i = 0; i < PortCount; ++i)
        m_items.push_back(portItem(i));
    m_selected = portIndexOfStored(m_store.readString(UserValueCom));
    setWriteWaitMs(m_ws.settings.writeWaitMs);
}

CommSetCaptions CommSettingsPresenter::captions() const
{
    const Language l = m_ws.settings.language;
    return CommSetCaptions {
        std::string(text(TextId::ComSetCaption, l)),
        std::string(text(TextId::ComSetPortFrame, l)),
        std::string(text(TextId::ComSetWaitLabel, l)),
        std::string(text(TextId::ComSetWaitUnit, l)),
        std::string(text(TextId::ComSetClose, l)),
    };
}

void CommSettingsPresenter::selectPort(int index)
{
    m_selected = (index >= 0 && index < PortCount) ? index : -1;
}

void CommSettingsPresenter::setWriteWaitMs(int ms)
{
    m_writeWaitMs = std::clamp(ms, WriteWaitMinMs, WriteWaitMaxMs);
}

bool CommSettingsPresenter::close()
{
    m_ws.settings.writeWaitMs = m_writeWaitMs;
    if (m_selected < 0)
        return true;
    m_ws.settings.portName = m_items[static_cast<std::size_t>(m_selected)];
    return m_store.writeString(UserValueCom, m_ws.settings.portName);
}

} // namespace tess::comm
