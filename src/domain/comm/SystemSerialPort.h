#pragma once

// The serial port of the platform the program runs on.
#ifdef _WIN32
#include "domain/comm/Win32SerialPort.h"
#else
#include "domain/comm/PosixSerialPort.h"
#endif

namespace tess::comm {

#ifdef _WIN32
using SystemSerialPort = Win32SerialPort;
#else
using SystemSerialPort = PosixSerialPort;
#endif

} // namespace tess::comm
