// The Windows device list, with ports entered in the registry the way
// drivers enter theirs.
#ifdef _WIN32

#include "domain/comm/SerialDevices.h"

#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>
#include <windows.h>

namespace tess::comm {
namespace {

// Ports entered under SERIALCOMM for the test's span, and taken out after it.
class RegisteredPorts : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr, REG_OPTION_VOLATILE,
                KEY_SET_VALUE, nullptr, &m_key, nullptr)
            != ERROR_SUCCESS)
            GTEST_SKIP() << "the system's list of ports cannot be written here";
    }
    void TearDown() override
    {
        if (!m_key)
            return;
        for (const std::wstring& device : m_entered)
            RegDeleteValueW(m_key, device.c_str());
        RegCloseKey(m_key);
    }

    void enter(const std::wstring& device, const std::wstring& port)
    {
        const auto bytes = static_cast<DWORD>((port.size() + 1) * sizeof(wchar_t));
        ASSERT_EQ(RegSetValueExW(m_key, device.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(port.c_str()), bytes),
            ERROR_SUCCESS);
        m_entered.push_back(device);
    }

private:
    HKEY m_key = nullptr;
    std::vector<std::wstring> m_entered;
};

std::optional<SerialDevice> listed(const std::string& path)
{
    const std::vector<SerialDevice> devices = listSerialDevices();
    const auto found
        = std::find_if(devices.begin(), devices.end(), [&](const SerialDevice& d) { return d.path == path; });
    return found == devices.end() ? std::nullopt : std::optional<SerialDevice>(*found);
}

TEST_F(RegisteredPorts, ComPortsByTheirNameAndOthersByTheirDeviceName)
{
    enter(L"\\Device\\TessalineTest0", L"COM77");
    enter(L"\\Device\\TessalineTest1", L"CNCA7");

    EXPECT_EQ(listed("COM77"), (SerialDevice {"COM77", "\\Device\\TessalineTest0"}));
    const std::optional<SerialDevice> other = listed("\\\\.\\CNCA7");
    ASSERT_EQ(other, (SerialDevice {"\\\\.\\CNCA7", "\\Device\\TessalineTest1"}));
    // What the list offers, the port opens.
    EXPECT_EQ(serialDevicePath(other->path), other->path);
    EXPECT_TRUE(isDeviceName(other->path));
}

struct NameCase {
    const char* name;
    const char* portName;
    bool device;
};

class Win32DeviceName : public ::testing::TestWithParam<NameCase> { };

TEST_P(Win32DeviceName, TellsDevicesFromComPorts)
{
    EXPECT_EQ(isDeviceName(GetParam().portName), GetParam().device);
}

INSTANTIATE_TEST_SUITE_P(Names, Win32DeviceName,
    ::testing::Values(NameCase {"DeviceName", "\\\\.\\CNCA0", true}, NameCase {"LongPathForm", "\\\\?\\COM3", true},
        NameCase {"BarePrefix", "\\\\.\\", false}, NameCase {"ComPort", "COM3", false},
        NameCase {"LinuxPath", "/dev/ttyUSB0", false}, NameCase {"Empty", "", false}),
    test::CaseName {});

} // namespace
} // namespace tess::comm

#endif
