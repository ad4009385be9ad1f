#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "data/anonymoustempfile.h"
#include "data/firmwaretempfile.h"

using namespace veltrin;

namespace {

// Points TMP and TEMP at a fresh folder (with a non-ASCII name, as a German user's profile
// folder may have) for the test, and puts everything back afterwards.
class AnonymousTempFileWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        savedTmp_ = Variable(L"TMP");
        savedTemp_ = Variable(L"TEMP");
        wchar_t base[MAX_PATH + 1] = {};
        ASSERT_NE(GetTempPathW(MAX_PATH + 1, base), 0u);
        folder_ = std::wstring(base) + L"veltrin-\u00DCbung-" +
                  std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64());
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr)) << GetLastError();
        ASSERT_TRUE(SetEnvironmentVariableW(L"TMP", folder_.c_str()));
        ASSERT_TRUE(SetEnvironmentVariableW(L"TEMP", folder_.c_str()));
    }
    void TearDown() override {
        Restore(L"TMP", savedTmp_);
        Restore(L"TEMP", savedTemp_);
        RemoveDirectoryW(folder_.c_str());
    }

    // The names of the files in the test's temp folder.
    std::vector<std::wstring> FolderEntries() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW entry{};
        const HANDLE search = FindFirstFileW((folder_ + L"\\*").c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do {
            const std::wstring name = entry.cFileName;
            if (name != L"." && name != L"..")
                names.push_back(name);
        } while (FindNextFileW(search, &entry));
        FindClose(search);
        return names;
    }

    std::wstring folder_;

private:
    static std::pair<bool, std::wstring> Variable(const wchar_t* name) {
        wchar_t value[32768] = {};
        const DWORD length = GetEnvironmentVariableW(name, value, 32768);
        return {length != 0, std::wstring(value, length)};
    }
    static void Restore(const wchar_t* name, const std::pair<bool, std::wstring>& saved) {
        SetEnvironmentVariableW(name, saved.first ? saved.second.c_str() : nullptr);
    }

    std::pair<bool, std::wstring> savedTmp_;
    std::pair<bool, std::wstring> savedTemp_;
};

}  // namespace

TEST_F(AnonymousTempFileWin32, LivesInTheUsersTempFolderForItsOpenerOnlyAndVanishesWhenClosed) {
    std::FILE* file = OpenAnonymousTempFile();
    ASSERT_NE(file, nullptr);
    const std::vector<std::wstring> names = FolderEntries();
    ASSERT_EQ(names.size(), 1u);
    const HANDLE other = CreateFileW((folder_ + L"\\" + names[0]).c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(other, INVALID_HANDLE_VALUE);
    if (other != INVALID_HANDLE_VALUE)
        CloseHandle(other);
    std::fclose(file);
    EXPECT_TRUE(FolderEntries().empty());
}

TEST_F(AnonymousTempFileWin32, FirmwareTextIsStoredInBinaryModeAndReadBackWhole) {
    // CR LF line ends and a Ctrl+Z must come back byte for byte: a text-mode stream would
    // change the first and stop reading at the second.
    const std::string text = ":00000001FF\r\n\x1A:0400000500000000F7\n";
    FirmwareTempFile file(text);
    ASSERT_NE(file.Get(), nullptr);
    std::rewind(file.Get());
    std::string back(text.size() + 8, '\0');
    back.resize(std::fread(back.data(), 1, back.size(), file.Get()));
    EXPECT_EQ(back, text);
    file.Close();
    EXPECT_TRUE(FolderEntries().empty());
}

TEST_F(AnonymousTempFileWin32, MissingTempFolderGivesNoFile) {
    const std::wstring gone = folder_ + L"\\missing";
    ASSERT_TRUE(SetEnvironmentVariableW(L"TMP", gone.c_str()));
    ASSERT_TRUE(SetEnvironmentVariableW(L"TEMP", gone.c_str()));
    EXPECT_EQ(OpenAnonymousTempFile(), nullptr);
}
