// The reports of crclist verify, fed verdicts directly: why a file failed, and what a stop
// left.
#include "tools/crclist/verify/verify_report.h"

#include <cstdio>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

// What a report writes for a file missing for a reason and a damaged one, after a stop.
std::string Written(bool json) {
    crclist::FileResult missing;
    missing.group = 1;
    missing.name = "A.DAT";
    missing.reason = "not a regular file";
    crclist::FileResult damaged = missing;
    damaged.status = crclist::Status::kCrc;
    damaged.reason.clear();
    crclist::RunTotals totals;
    totals.tally.Add(missing);
    totals.notReached = 2;
    crclist::ListLoad load;
    load.loaded = true;
    std::FILE* out = std::tmpfile();
    crclist::ProgressLine progress(out, false, 0);
    const auto report = json ? crclist::MakeJsonReport(out, load)
                             : crclist::MakeTextReport(out, load, false, progress);
    report->Add(missing);
    report->Add(damaged);
    report->Finish(totals);
    std::string text(static_cast<std::size_t>(std::ftell(out)), '\0');
    std::rewind(out);
    text.resize(std::fread(&text[0], 1, text.size(), out));
    std::fclose(out);
    return text;
}

TEST(VerifyReport, SaysWhyAFileFailedAndWhatAStopLeft) {
    const std::string text = Written(false);
    EXPECT_EQ(text.rfind("missing     disc 1  A.DAT  not a regular file\ncrc ", 0), 0u) << text;
    EXPECT_NE(text.find("\n1 file: 0 ok, 1 failed (1 missing,"), std::string::npos) << text;
    const auto document = nlohmann::json::parse(Written(true));
    EXPECT_EQ(document["files"][0]["reason"], "not a regular file");
    EXPECT_TRUE(document["files"][1]["reason"].is_null());
    EXPECT_EQ(document["summary"]["notReached"], 2);
}

}  // namespace
