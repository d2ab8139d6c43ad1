// Which names Windows can hold, through the one rule that make and lint share. Narrow
// literals are Shift-JIS, as a check list is.
#include "tools/crclist/list/name_form.h"

#include <gtest/gtest.h>

namespace {

using Fault = crclist::WindowsNameFault;

Fault FaultOf(const std::string& name) {
    std::string problem;
    const Fault fault = crclist::WindowsNameProblem(name, &problem);
    EXPECT_EQ(problem.empty(), fault == Fault::kNone) << name;
    return fault;
}

TEST(NameForm, TellsANameThatWindowsCannotHold) {
    for (const char c : std::string("<>:\"|?*\x01\x09\x0A\x1B\x1F")) {
        EXPECT_EQ(FaultOf(std::string("DIR\\A") + c + "B"), Fault::kNotAllowed) << int{c};
    }
    for (const std::string device : {"CON", "PRN", "AUX", "NUL", "COM1", "COM9", "LPT1", "lpt9",
                                     "con", "prn", "aux", "nul", "com1"}) {
        for (const std::string& name : {device, device + ".txt", "DIR\\" + device + ".a.b"}) {
            EXPECT_EQ(FaultOf(name), Fault::kDevice) << name;
        }
    }
    const std::pair<std::string, Fault> kCases[] = {
        {"A.DAT.", Fault::kTrimmed},   {"A.DAT ", Fault::kTrimmed},
        {"DATA.\\A", Fault::kTrimmed}, {"CONSOLE", Fault::kNone},
        {"COM0", Fault::kNone},        {"NUL_", Fault::kNone},
        {"COM10", Fault::kNone},       {".hidden", Fault::kNone},
        {"怖", Fault::kNone},  // 0x95 0x7C: a second byte 0x7C is no '|'
    };
    for (const auto& [name, fault] : kCases) {
        EXPECT_EQ(FaultOf(name), fault) << name;
    }
}

}  // namespace
