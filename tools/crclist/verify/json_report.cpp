#include <cstdio>
#include <cstdlib>

#include <nlohmann/json.hpp>

#include "tools/crclist/text/console.h"
#include "tools/crclist/text/encoding.h"
#include "tools/crclist/text/json_layout.h"
#include "tools/crclist/text/shown_text.h"
#include "tools/crclist/verify/verify_report.h"

namespace crclist {
namespace {

using Json = nlohmann::ordered_json;

Json FileObject(const FileResult& result) {
    Json file = Json::object();
    file["check"] = result.Installed() ? "installed" : "disc";
    if (!result.Installed()) {
        file["group"] = result.group;
    }
    file["name"] = SjisToUtf8(result.name);
    file["path"] = result.hasPath ? Json(SystemTextInUtf8(result.path)) : Json(nullptr);
    file["status"] = StatusName(result.status);
    file["reason"] = result.reason.empty() ? Json(nullptr) : Json(SystemTextInUtf8(result.reason));
    file["expectedSize"] = result.expectedSize;
    file["size"] = result.hasSize ? Json(result.size) : Json(nullptr);
    file["expectedCrc"] = CrcText(result.expectedCrc);
    file["crc"] = result.hasCrc ? Json(CrcText(result.crc)) : Json(nullptr);
    return file;
}

// How each group was read: the disc group (null for the installed files), where, its medium,
// whether its data was in memory already, how many threads read it, and how many files were
// read from a medium that seeks as one stream.
Json Readings(const std::vector<GroupReading>& readings) {
    Json all = Json::array();
    for (const GroupReading& reading : readings) {
        Json one = Json::object();
        one["disc"] = reading.group > 0 ? Json(reading.group) : Json(nullptr);
        one["where"] = SystemTextInUtf8(reading.plan.where);
        one["medium"] = MediumName(reading.plan.medium);
        one["seeking"] = reading.plan.seeking;
        one["inMemory"] = reading.plan.cached;
        one["streams"] = reading.plan.Streams();
        one["fromMedium"] = reading.plan.FromMedium();
        all.push_back(std::move(one));
    }
    return all;
}

// Seconds to the millisecond and speeds to the tenth: more is noise. Through the decimal
// text, so that the number is written as short as it reads.
double Rounded(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return std::strtod(text, nullptr);
}

class JsonReport : public VerifyReport {
  public:
    JsonReport(std::FILE* out, const ListLoad& load) : out_(out) {
        document_["list"] = SystemTextInUtf8(load.path);
        document_["loaded"] = load.loaded;
        document_["messages"] = Json::array();
        for (const std::string& complaint : load.complaints) {
            document_["messages"].push_back(SjisToUtf8(complaint));
        }
        document_["files"] = Json::array();
    }

    void Add(const FileResult& result) override {
        document_["files"].push_back(FileObject(result));
    }

    void Finish(const RunTotals& totals) override {
        const Tally& tally = totals.tally;
        Json summary = Json::object();
        summary["files"] = tally.files;
        summary["ok"] = tally.Count(Status::kOk);
        summary["failed"] = tally.Failed();
        for (int status = 1; status < kStatusCount; ++status) {
            summary[StatusName(static_cast<Status>(status))] = tally.byStatus[status];
        }
        summary["bytes"] = totals.bytes;
        summary["seconds"] = Rounded(totals.seconds, 3);
        summary["mbPerSecond"] = Rounded(totals.MegabytesPerSecond(), 1);
        summary["stopped"] = totals.stopped;
        summary["notReached"] = totals.notReached;
        document_["reading"] = Readings(totals.readings);
        document_["summary"] = std::move(summary);
        const std::string text = LayoutJson(document_);
        WriteText(out_, text);
    }

  private:
    std::FILE* out_;
    Json document_ = Json::object();
};

}  // namespace

std::unique_ptr<VerifyReport> MakeJsonReport(std::FILE* out, const ListLoad& load) {
    return std::make_unique<JsonReport>(out, load);
}

}  // namespace crclist
