# cmake -DOBJDUMP=... -DPROGRAMS="a.exe;b.exe" -P checkimports.cmake
# Lists each program's imports and fails when a DLL is not part of Windows itself, or when a DLL or
# call is newer than the oldest Windows the programs support (Windows 7 SP1): such a program would
# not even start there ("entry point not found"). Newer calls are looked up at run time instead.
cmake_policy(SET CMP0057 NEW)
set(_system_dlls
    kernel32 user32 gdi32 advapi32 shell32 ole32 oleaut32 comctl32 comdlg32 ws2_32 winhttp
    crypt32 secur32 bcrypt ntdll setupapi uxtheme version shlwapi msvcrt imm32 winmm
    dwmapi userenv iphlpapi rpcrt4 cfgmgr32 oleacc)
# DLLs a bare Windows 7 SP1 lacks: the API sets and the universal C runtime came with Windows 8
# and 10 (or later updates), the per-monitor DPI library with Windows 8.1.
set(_newer_dll_pattern "^(api-ms-win-|ext-ms-win-|ucrtbase$|vcruntime|shcore$)")
# Calls of Windows' own DLLs that Windows 7 SP1 does not have. The headers hide them already
# (the toolchain targets Windows 7); this catches a declaration of one's own, a library that
# brings its own, or a target that raises its version.
set(_newer_calls
    # user32, Windows 8.1 and 10: per-monitor DPI
    GetDpiForWindow GetDpiForSystem AdjustWindowRectExForDpi GetSystemMetricsForDpi
    SystemParametersInfoForDpi EnableNonClientDpiScaling SetProcessDpiAwarenessContext
    SetThreadDpiAwarenessContext GetThreadDpiAwarenessContext GetWindowDpiAwarenessContext
    GetAwarenessFromDpiAwarenessContext GetDpiFromDpiAwarenessContext
    AreDpiAwarenessContextsEqual IsValidDpiAwarenessContext SetDialogDpiChangeBehavior
    SetDialogControlDpiChangeBehavior LogicalToPhysicalPointForPerMonitorDPI
    PhysicalToLogicalPointForPerMonitorDPI GetDpiForMonitor SetProcessDpiAwareness
    GetProcessDpiAwareness
    # user32, Windows 8: pointer input
    EnableMouseInPointer GetPointerType GetPointerInfo
    # kernel32, Windows 8 and later
    GetSystemTimePreciseAsFileTime CreateFile2 CopyFile2 GetOverlappedResultEx
    WaitOnAddress WakeByAddressSingle WakeByAddressAll GetCurrentThreadStackLimits
    SetThreadInformation GetThreadInformation GetProcessMitigationPolicy
    SetProcessMitigationPolicy PrefetchVirtualMemory CreateFileMappingFromApp MapViewOfFileFromApp
    GetCurrentPackageId GetCurrentPackageFullName GetPackageFamilyName GetFirmwareType
    InitializeSynchronizationBarrier EnterSynchronizationBarrier SetThreadDescription
    GetThreadDescription VirtualAlloc2 MapViewOfFile3 QueryUnbiasedInterruptTimePrecise
    # kernel32: only with a later update to Windows 7 (KB2533623), not on every SP1 machine
    SetDefaultDllDirectories AddDllDirectory RemoveDllDirectory
    # winhttp and bcrypt, Windows 8 and later
    WinHttpWebSocketCompleteUpgrade WinHttpWebSocketSend WinHttpWebSocketReceive
    WinHttpWebSocketClose WinHttpCreateProxyResolver WinHttpGetProxyForUrlEx
    WinHttpQueryConnectionGroup BCryptHash BCryptCreateMultiHash)
if(NOT PROGRAMS)
    message(FATAL_ERROR "no programs to check")
endif()
set(_count 0)
set(_faults)
foreach(_program IN LISTS PROGRAMS)
    execute_process(COMMAND "${OBJDUMP}" -p "${_program}"
        OUTPUT_VARIABLE _dump RESULT_VARIABLE _result ERROR_VARIABLE _error)
    if(NOT _result EQUAL 0)
        message(FATAL_ERROR "${OBJDUMP} -p ${_program} failed: ${_error}")
    endif()
    get_filename_component(_name "${_program}" NAME)
    # One list entry per line; the dump holds no ';' of its own that matters here.
    string(REPLACE ";" "," _dump "${_dump}")
    string(REGEX REPLACE "\r?\n" ";" _lines "${_dump}")
    set(_names)
    set(_dll "")
    foreach(_line IN LISTS _lines)
        if(_line MATCHES "DLL Name: ([^ \t]+)")
            set(_dll "${CMAKE_MATCH_1}")
            string(TOLOWER "${_dll}" _lower)
            string(REGEX REPLACE "\\.dll$" "" _base "${_lower}")
            list(APPEND _names "${_dll}")
            if(_base MATCHES "${_newer_dll_pattern}")
                list(APPEND _faults "${_name}: ${_dll} is newer than Windows 7 SP1")
            elseif(NOT _base IN_LIST _system_dlls)
                list(APPEND _faults "${_name}: ${_dll} is not part of Windows")
            endif()
        elseif(_dll AND _line MATCHES "^[ \t]*[0-9a-f]+[ \t]+[0-9]+[ \t]+([A-Za-z_][A-Za-z0-9_@]*)")
            if(CMAKE_MATCH_1 IN_LIST _newer_calls)
                list(APPEND _faults "${_name}: ${_dll} ${CMAKE_MATCH_1} is newer than Windows 7 SP1")
            endif()
        elseif(_line STREQUAL "")
            set(_dll "")
        endif()
    endforeach()
    if(NOT _names)
        message(FATAL_ERROR "${_program}: no import table found")
    endif()
    message(STATUS "${_name}: ${_names}")
    math(EXPR _count "${_count} + 1")
endforeach()
if(_faults)
    list(JOIN _faults "\n  " _text)
    message(FATAL_ERROR "programs that would not start on every supported Windows:\n  ${_text}")
endif()
message(STATUS "all ${_count} programs import system DLLs only, none newer than Windows 7 SP1")
