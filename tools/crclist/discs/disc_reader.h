// The files of one disc, read from where the disc is: a folder (on Windows also a drive such as
// E:), a disc image, or natively a drive's device, read straight from the file or the device. Every
// command that reads a disc's files for their sizes and CRCs goes through this, so that each
// kind of disc is read one way, in the order that suits it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tools/crclist/discs/read_plan.h"
#include "tools/crclist/reading/file_digest.h"
#include "tools/crclist/reading/read_observer.h"

namespace crclist {

// A regular file of a disc, as a listing of the disc finds it.
struct DiscFile {
    // Its path relative to the disc, one name a folder, in the system's encoding (natively
    // UTF-8, also for the names of an image).
    std::vector<std::string> components;
    std::string path;  // where it is, for messages
    std::uint64_t size = 0;
};

// Whether a listing leaves out the file or folder at `components` (its path relative to the
// disc, in the system's encoding). What is left out is not looked at, and a folder left out is
// not entered: so a broken link or a link round into a folder above can be left out too.
using ListingFilter = std::function<bool(const std::vector<std::string>& components)>;

class DiscReader {
  public:
    virtual ~DiscReader() = default;

    // At most `jobs` threads read the disc at once; 0, as at first: as many as suit its medium
    // (read_plan.h).
    void SetJobs(std::size_t jobs) { jobs_ = jobs; }
    // How the last Read went.
    const ReadPlan& LastPlan() const { return plan_; }

    // Reads the files with the names in `names`, as a check list gives them (Shift-JIS, '\'
    // between folders), found as Windows finds them: the exact name, else the letter case
    // ignored. Each file is read once, in the order that suits the medium: a folder in the
    // order of `names`, an image in the order of its data. `observer` learns of every index
    // once (Done), unless a stop was requested first.
    virtual void Read(const std::vector<std::string>& names, ReadObserver& observer) = 0;

    // Every regular file of the disc, in no particular order, leaving out the file at `skip`
    // (a list being written) when it lies on the disc, and what `leaveOut` (when given) leaves
    // out. A part that cannot be listed adds a problem (in the system's encoding) and the
    // listing goes on; false, with the reason among the problems, when the disc cannot be
    // listed to its end.
    virtual bool ListFiles(const std::string& skip, const ListingFilter& leaveOut,
                           std::vector<DiscFile>* files, std::vector<std::string>* problems) = 0;

    // The content of the small file with the listed `name` (found as Read finds it), such as
    // a check list on the disc; `where` is where it lies, for messages. False, with the reason
    // in `error`, when it is not there, cannot be read or holds more than kLargestSmallFile.
    virtual bool ReadSmallFile(const std::string& name, std::string* bytes, std::string* where,
                               std::string* error) = 0;

  protected:
    explicit DiscReader(std::string where) : where_(std::move(where)) { plan_.where = where_; }

    std::size_t Jobs() const { return jobs_; }
    // Takes `plan` as how the reading goes, for the disc where it is.
    void SetPlan(ReadPlan plan) {
        plan_ = std::move(plan);
        plan_.where = where_;
    }

  private:
    const std::string where_;  // as the user named it
    std::size_t jobs_ = 0;
    ReadPlan plan_;
};

// What ReadSmallFile reads at most: far more than any check list holds.
constexpr std::uint64_t kLargestSmallFile = std::uint64_t{64} << 20;

// The reader for the disc at `where`: a folder, a disc image, or natively a drive's device.
// False with the reason in `error` when `where` is none of them, or is an image that cannot be
// read.
bool OpenDisc(const std::string& where, std::unique_ptr<DiscReader>* reader, std::string* error);

// What is at `where`, for OpenDisc: a folder (on Windows also a drive, whose root `*root` then
// names), a file or a drive's device to read as an image, or nothing that can be read.
enum class DiscPlace { kNone, kFolder, kImage };
DiscPlace WhatIsAt(const std::string& where, std::string* root);

// The discs of a command line, each place opened once however often it is given: one place
// for every disc group of a list, or one for each group in order.
class OpenedDiscs {
  public:
    // Opens every place in `wheres` before any is read, so that a mistyped one is told at
    // once; at most `jobs` threads read each (0: as many as suit its medium). False, with the
    // reason in `error`, at the first that cannot be opened.
    bool Open(const std::vector<std::string>& wheres, std::string* error, std::size_t jobs = 0);

    bool Empty() const { return wheres_.empty(); }
    // Where disc group `group` (from 0) is, and its reader; only when not Empty.
    const std::string& WhereOfGroup(std::size_t group) const {
        return wheres_[wheres_.size() == 1 ? 0 : group];
    }
    DiscReader& ReaderOfGroup(std::size_t group) const { return *readers_.at(WhereOfGroup(group)); }

  private:
    std::vector<std::string> wheres_;
    std::map<std::string, std::unique_ptr<DiscReader>> readers_;
};

}  // namespace crclist
