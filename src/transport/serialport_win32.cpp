// The serial port over the Win32 communications API with overlapped I/O. Every wait happens on
// the calling thread: a read is bounded by the port's total read time-out, a write by the
// write time-out, after which the pending operation is cancelled.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <string>

#include "transport/portname.h"
#include "transport/serialport.h"

namespace veltrin {

namespace {

constexpr DWORD kInputQueue = 4096;
constexpr DWORD kOutputQueue = 2048;

std::wstring Widen(const std::string& text) {
    if (text.empty())
        return std::wstring();
    const int length =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

class Win32SerialPort final : public SerialPort {
public:
    Win32SerialPort() {
        readEvent_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        writeEvent_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    ~Win32SerialPort() override {
        Close();
        if (readEvent_ != nullptr)
            CloseHandle(readEvent_);
        if (writeEvent_ != nullptr)
            CloseHandle(writeEvent_);
    }
    Win32SerialPort(const Win32SerialPort&) = delete;
    Win32SerialPort& operator=(const Win32SerialPort&) = delete;

    void SetName(std::string_view name) override { name_ = BarePortName(name); }
    void SetBaudRate(std::uint32_t baudRate) override { baudRate_ = baudRate; }
    void SetByteSize(std::int32_t dataBits) override { byteSize_ = dataBits; }
    void SetStopBits(std::uint32_t stopBits) override { stopBits_ = stopBits; }
    void SetParity(std::uint32_t parity) override { parity_ = parity; }

    int Open() override;
    int Close() override;
    bool IsOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }

    int DiscardInput() override { return Purge(PURGE_RXCLEAR); }
    int PurgeOutput() override { return Purge(PURGE_TXABORT | PURGE_TXCLEAR); }
    // Writes wait for their own completion, so nothing is ever pending here.
    int WaitWriteComplete() override { return IsOpen() ? 0 : ERROR_INVALID_HANDLE; }

    void SetWriteTimeout(std::uint32_t milliseconds) override { writeTimeout_ = milliseconds; }
    int WriteByte(std::uint8_t byte) override { return Write(&byte, 1); }
    int WriteText(const char* text, std::size_t length) override { return Write(text, length); }

    int SetReadTimeout(std::uint32_t milliseconds) override;
    int ReadByte(std::uint8_t& byte) override;

private:
    int Configure();
    int ApplyTimeouts();
    int Purge(DWORD flags);
    int Write(const void* data, std::size_t length);
    void ClearLineErrors();

    std::string name_;
    std::uint32_t baudRate_ = 0;
    std::int32_t byteSize_ = 0;
    std::uint32_t stopBits_ = 0xFFFFFFFFu;
    std::uint32_t parity_ = 0xFFFFFFFFu;
    std::uint32_t readTimeout_ = 0;
    std::uint32_t writeTimeout_ = 0;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    HANDLE readEvent_ = nullptr;
    HANDLE writeEvent_ = nullptr;
    DCB saved_{};
};

int Win32SerialPort::Open() {
    if (handle_ != INVALID_HANDLE_VALUE)
        return 0;
    if (name_.empty())
        return ERROR_FILE_NOT_FOUND;
    if (readEvent_ == nullptr || writeEvent_ == nullptr)
        return ERROR_NOT_ENOUGH_MEMORY;
    const std::wstring path = L"\\\\.\\" + Widen(name_);
    handle_ = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          FILE_FLAG_OVERLAPPED, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE)
        return static_cast<int>(GetLastError());
    const int result = Configure();
    if (result != 0) {
        CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
    return result;
}

int Win32SerialPort::Configure() {
    if (!SetupComm(handle_, kInputQueue, kOutputQueue))
        return static_cast<int>(GetLastError());
    saved_.DCBlength = sizeof(DCB);
    if (!GetCommState(handle_, &saved_))
        return static_cast<int>(GetLastError());
    DCB dcb = saved_;
    if (baudRate_ != 0)
        dcb.BaudRate = baudRate_;
    if (byteSize_ >= 4 && byteSize_ <= 8)
        dcb.ByteSize = static_cast<BYTE>(byteSize_);
    // ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS and NOPARITY..SPACEPARITY are 0..2 and 0..4.
    if (stopBits_ <= TWOSTOPBITS)
        dcb.StopBits = static_cast<BYTE>(stopBits_);
    if (parity_ <= SPACEPARITY)
        dcb.Parity = static_cast<BYTE>(parity_);
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    // DTR, RTS and XON/XOFF flow control stay as the driver has them.
    dcb.XonLim = 0;
    dcb.XoffLim = 0;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    dcb.ErrorChar = 0;
    dcb.EofChar = 0;
    dcb.EvtChar = 0;
    if (!SetCommState(handle_, &dcb))
        return static_cast<int>(GetLastError());
    int result = ApplyTimeouts();
    if (result == 0 && !SetCommMask(handle_, 0))
        result = static_cast<int>(GetLastError());
    if (result == 0) {
        result = Purge(PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
    }
    if (result != 0)
        SetCommState(handle_, &saved_);
    return result;
}

int Win32SerialPort::ApplyTimeouts() {
    // Only a total read time-out; all zero means reads wait without bound.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadTotalTimeoutConstant = readTimeout_;
    return SetCommTimeouts(handle_, &timeouts) ? 0 : static_cast<int>(GetLastError());
}

int Win32SerialPort::Close() {
    if (handle_ == INVALID_HANDLE_VALUE)
        return 0;
    SetCommState(handle_, &saved_);
    const BOOL closed = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return closed ? 0 : static_cast<int>(GetLastError());
}

int Win32SerialPort::Purge(DWORD flags) {
    if (handle_ == INVALID_HANDLE_VALUE)
        return ERROR_INVALID_HANDLE;
    return PurgeComm(handle_, flags) ? 0 : static_cast<int>(GetLastError());
}

void Win32SerialPort::ClearLineErrors() {
    DWORD errors = 0;
    ClearCommError(handle_, &errors, nullptr);
}

int Win32SerialPort::Write(const void* data, std::size_t length) {
    if (handle_ == INVALID_HANDLE_VALUE)
        return ERROR_INVALID_HANDLE;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    while (length > 0) {
        const DWORD chunk = length > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(length);
        OVERLAPPED overlapped{};
        overlapped.hEvent = writeEvent_;
        ResetEvent(writeEvent_);
        DWORD written = 0;
        if (!WriteFile(handle_, bytes, chunk, nullptr, &overlapped)) {
            const DWORD error = GetLastError();
            if (error != ERROR_IO_PENDING) {
                ClearLineErrors();
                return static_cast<int>(error);
            }
            const DWORD wait = WaitForSingleObject(
                writeEvent_, writeTimeout_ == 0 ? INFINITE : static_cast<DWORD>(writeTimeout_));
            if (wait != WAIT_OBJECT_0) {
                CancelIoEx(handle_, &overlapped);
                GetOverlappedResult(handle_, &overlapped, &written, TRUE);
                ClearLineErrors();
                return wait == WAIT_TIMEOUT ? ERROR_TIMEOUT : static_cast<int>(GetLastError());
            }
        }
        if (!GetOverlappedResult(handle_, &overlapped, &written, TRUE)) {
            const DWORD error = GetLastError();
            ClearLineErrors();
            return static_cast<int>(error);
        }
        ClearLineErrors();
        if (written == 0)
            return ERROR_TIMEOUT;
        bytes += written;
        length -= written;
    }
    return 0;
}

int Win32SerialPort::SetReadTimeout(std::uint32_t milliseconds) {
    if (milliseconds == readTimeout_)
        return 0;
    readTimeout_ = milliseconds;
    return handle_ == INVALID_HANDLE_VALUE ? 0 : ApplyTimeouts();
}

int Win32SerialPort::ReadByte(std::uint8_t& byte) {
    if (handle_ == INVALID_HANDLE_VALUE)
        return ERROR_INVALID_HANDLE;
    OVERLAPPED overlapped{};
    overlapped.hEvent = readEvent_;
    ResetEvent(readEvent_);
    DWORD got = 0;
    if (!ReadFile(handle_, &byte, 1, nullptr, &overlapped)) {
        const DWORD error = GetLastError();
        if (error != ERROR_IO_PENDING) {
            ClearLineErrors();
            return static_cast<int>(error);
        }
    }
    // The driver ends the read itself when the total read time-out has passed.
    if (!GetOverlappedResult(handle_, &overlapped, &got, TRUE)) {
        const DWORD error = GetLastError();
        ClearLineErrors();
        return static_cast<int>(error);
    }
    ClearLineErrors();
    return got == 1 ? 0 : ERROR_TIMEOUT;
}

}  // namespace

std::unique_ptr<SerialPort> CreateSerialPort() {
    return std::make_unique<Win32SerialPort>();
}

}  // namespace veltrin
