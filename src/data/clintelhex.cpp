#include "data/clintelhex.h"

namespace veltrin {

std::uint32_t ClIntelHex::GetDataSize(const TSHexRange& range) {
    // An entry with EndAddress 0 is an empty slot of the caller's table, whatever was found.
    if (range.DataFound == 0 || range.EndAddress == 0)
        return 0;
    if (range.StartAddress > range.DataStart || range.DataEnd > range.EndAddress)
        return 0;
    if (range.DataStart > range.DataEnd)
        return 0;
    return range.DataEnd - range.DataStart + 1;
}

const char* ClIntelHex::GetResultText(int code) {
    switch (code) {
        case HEX_OK:
            return "No error!";
        case HEX_ERR_OPEN_FILE:
            return "Can't open file!";
        case HEX_ERR_START_OF_LINE:
            return "Invalid character at start of line!";
        case HEX_ERR_BYTE_COUNT:
            return "Invalid count of databytes!";
        case HEX_ERR_DATA_BYTE:
            return "Invalid databyte!";
        case HEX_ERR_CHECKSUM:
            return "Invalid checksum!";
        case HEX_ERR_RECORD_TYPE:
            return "Invalid record type!";
        case HEX_ERR_UNKNOWN_RECORD_TYPE:
            return "Unknown record type!";
        case HEX_ERR_ADDRESS:
            return "Invalid address!";
        case HEX_ERR_ADDRESS_OFFSET:
            return "Invalid address offset!";
        case HEX_ERR_ADDRESS_RANGE:
            return "Invalid address range!";
        case HEX_ERR_NO_DATA_IN_RANGE:
            return "No data found in address range!";
        case HEX_ERR_PARAMETERS:
            return "Error while read/write array with parameters!";
        default:
            return "";
    }
}

}  // namespace veltrin
