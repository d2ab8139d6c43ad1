// A disc that is a folder: its files are read by the threads of the reading, each taking the
// next in the order in which they are asked for, which is the order of the check list
// (reading/file_batch.h); on a medium that seeks, by one stream, in the order in which the disk
// holds them, unless they are in memory already (read_plan.h).
#pragma once

#include <string>

#include "tools/crclist/discs/disc_reader.h"
#include "tools/crclist/discs/medium.h"

namespace crclist {

class FolderReader : public DiscReader {
  public:
    // `where`: the disc as the user named it; `root`: the folder (on Windows a drive's root).
    FolderReader(std::string where, std::string root, const Medium& medium);

    void Read(const std::vector<std::string>& names, ReadObserver& observer) override;
    bool ListFiles(const std::string& skip, const ListingFilter& leaveOut,
                   std::vector<DiscFile>* files, std::vector<std::string>* problems) override;
    bool ReadSmallFile(const std::string& name, std::string* bytes, std::string* where,
                       std::string* error) override;

  private:
    std::string root_;
    Medium medium_;
};

}  // namespace crclist
