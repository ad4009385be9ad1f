#include <gtest/gtest.h>

#include "report/endtexts.h"

using namespace veltrin;

TEST(EndTextsTest, CancelWinsOverAnError) {
    const EndTexts t = ResultTexts(true, 14, "");
    EXPECT_EQ(t.look, EndTexts::Look::Cancelled);
    EXPECT_EQ(t.Caption, "Update terminated");
    EXPECT_EQ(t.Status, "The update was ended by the user");
    EXPECT_EQ(t.ErrorText, "");
    EXPECT_EQ(t.Message, "Restart update or unplug the device.");
    EXPECT_EQ(t.StartCaption, "Restart Update");
}

TEST(EndTextsTest, ErrorCodesHaveTheirOwnWords) {
    struct Case {
        int code;
        const char* error;
        const char* hint;
        const char* start;
    };
    const Case cases[] = {
        {1, "Update unsupported for connected device!",
         "Unplug device and plug Quorvan/plus or Tarnovelle K7/K7x\ninto the USB before start "
         "update.",
         "Start Update"},
        {2, "No device found - one device must be connected!",
         "Plug your device into the USB and start update.", "Start Update"},
        {3, "Multiple devices found - only one device must be connected!",
         "Remove unnecessary devices before the update can be started.", "Start Update"},
        {4, "Update Quorvan/plus impossible - no data available!",
         "Unplug Quorvan/plus - only update of Tarnovelle K7/K7x is possible.", "Start Update"},
        {5, "Update Tarnovelle K7/K7x impossible - no data available!",
         "Unplug Tarnovelle K7/K7x - only update of Quorvan/plus is possible.", "Start Update"},
        {6, "The battery status is too low to carry out the update!",
         "Connect charging plug into the device\nbefore restart update.", "Restart Update"},
        {7, "Variant invalid!", "Unplug device and contact service.", "Start Update"},
        {14, "Exceptional error! (#14)", "Restart update or unplug the device.", "Restart Update"},
        {41, "Exceptional error! (#41)", "Restart update or unplug the device.", "Restart Update"},
    };
    for (const Case& c : cases) {
        const EndTexts t = ResultTexts(false, c.code, "ignored");
        EXPECT_EQ(t.look, EndTexts::Look::Error) << c.code;
        EXPECT_EQ(t.Caption, "Update terminated");
        EXPECT_EQ(t.Status, "The update was terminated prematurely due to an error");
        EXPECT_EQ(t.ErrorText, c.error) << c.code;
        EXPECT_EQ(t.Message, c.hint) << c.code;
        EXPECT_EQ(t.StartCaption, c.start) << c.code;
    }
}

TEST(EndTextsTest, SuccessNamesTheInstalledFirmware) {
    const EndTexts t = ResultTexts(false, 0, "Update Quorvan/plus Version 01.02.03");
    EXPECT_EQ(t.look, EndTexts::Look::Success);
    EXPECT_EQ(t.Caption, "Update finished");
    EXPECT_EQ(t.Status, "Update successful");
    EXPECT_EQ(t.Message,
              "Update Quorvan/plus Version 01.02.03 has been installed.\nUnplug the device.\n\n"
              "For updating next device plug it into the USB port\nand start update.");
    EXPECT_EQ(t.StartCaption, "Update next device");
}
