#include "protocol/connecterrors.h"

namespace veltrin {

const char* ConnectErrorText(std::int32_t code) {
    switch (code) {
        case CONNECT_ERR_NOT_SUPPORTED:
            return "Function not supported.";
        case CONNECT_ERR_NO_TRANSPORT:
            return "Connection not supported (NULL-Pointer).";
        case CONNECT_ERR_TARGET_TOO_SMALL:
            return "Target buffer to small for copy data.";
        case CONNECT_ERR_ANSWER_TIMEOUT:
            return "Timeout while receive answer-back.";
        case CONNECT_ERR_NO_ASCII_TO_SEND:
            return "No ASCII data available to send.";
        case CONNECT_ERR_ASCII_BUFFER_TOO_SMALL:
            return "ASCII buffer to small.";
        case CONNECT_ERR_NO_ASCII_RECEIVED:
            return "No ASCII data receive.";
        case CONNECT_ERR_ASCII_LENGTH_ODD:
            return "Length ASCII string odd.";
        case CONNECT_ERR_NOT_TERMINATED:
            return "ASCII string not NULL-Terminated.";
        case CONNECT_ERR_HEX_TOO_SHORT:
            return "Length ASCII-HEX string to small.";
        case CONNECT_ERR_INVALID_HEX_CHAR:
            return "Found invalid character for convert to ASCII-HEX.";
        case CONNECT_ERR_LENGTH_MISMATCH:
            return "Length ASCII string not equal value of size in header.";
        case CONNECT_ERR_NO_BINARY_TO_SEND:
            return "No binary data available to send.";
        case CONNECT_ERR_BINARY_BUFFER_TOO_SMALL:
            return "Binary buffer to small.";
        case CONNECT_ERR_INVALID_COUNT:
            return "Invalid count of selected binary data.";
        case CONNECT_ERR_NO_BINARY_RECEIVED:
            return "No binary data receive.";
        case CONNECT_ERR_BAD_CHECKSUM:
            return "Found invalid checksum.";
        case CONNECT_ERR_WINSOCK_NOT_FOUND:
            return "Usable WinSock DLL not found.";
        case CONNECT_ERR_NO_IRDA_DEVICE:
            return "No IRDA device found.";
        case CONNECT_ERR_NO_9WIRE:
            return "Peer doesn't support 9 wire mode.";
        case CONNECT_ERR_NO_DATA_RECEIVED:
            return "No data received.";
        case CONNECT_ERR_BAD_IRCOMM:
            return "Bad IRCOMM.";
        case CONNECT_ERR_NO_PORT_OBJECT:
            return "Class ClComport not available (NULL-Pointer).";
        case CONNECT_ERR_OPEN_PORT:
            return "Failure open COM-Port.";
        case CONNECT_ERR_CLOSE_PORT:
            return "Failure close COM-Port.";
        case CONNECT_ERR_ACK_TIMEOUT:
            return "Timeout while receive ACK/NACK.";
        case CONNECT_ERR_NAK:
            return "Receive NACK.";
        case CONNECT_ERR_NOT_ACK:
            return "Receive other character as ACK/NACK.";
        default:
            return "Text not supported";
    }
}

}  // namespace veltrin
