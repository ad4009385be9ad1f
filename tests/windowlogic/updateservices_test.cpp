#include "windowlogic/updateservices.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "support/tempdirectory.h"

namespace veltrin {
namespace {

std::string ReadText(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string FolderUrl(const test::TempDirectory& dir, const std::string& name) {
    const std::string path = (dir.Path() / name).generic_string();
    return (path.front() == '/' ? "file://" : "file:///") + path;
}

// The window says only "No data found for update."; with the trace on, the trace says why.
TEST(UpdateServicesTest, ADownloadWithoutFirmwareNamesItsReasonInTheTrace) {
    for (const bool traced : {true, false}) {
        test::TempDirectory dir;
        UpdateThreadSettings settings;
        settings.Trace = traced;
        settings.TraceFileName = dir.File("Protokoll.txt");
        MainWindowServices services = UpdateServices(FolderUrl(dir, "missing"), {}, settings);
        UpdateData data;
        ClQuorvanVariants variants;
        services.Download(data, variants, {});
        const std::string trace = ReadText(settings.TraceFileName);
        if (traced) {
            EXPECT_NE(trace.find("No data found for update: the index files.txt could not be "
                                 "fetched"),
                      std::string::npos)
                << trace;
        } else {
            EXPECT_EQ(trace, "");
        }
    }
}

}  // namespace
}  // namespace veltrin
