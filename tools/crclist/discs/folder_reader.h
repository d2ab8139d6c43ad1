// A disc that is a folder: its files are read in the order in which they are asked for, which
// is the order of the check list, so that an optical drive reads it without seeking back; the
// threads of the reading take them in turn (file_batch.h).
#pragma once

#include <string>

#include "tools/crclist/discs/disc_reader.h"

namespace crclist {

class FolderReader : public DiscReader {
  public:
    explicit FolderReader(std::string root);

    void Read(const std::vector<std::string>& names, ReadObserver& observer) override;
    bool ListFiles(const std::string& skip, std::vector<DiscFile>* files,
                   std::vector<std::string>* problems) override;
    bool ReadSmallFile(const std::string& name, std::string* bytes, std::string* where,
                       std::string* error) override;

  private:
    std::string root_;
};

}  // namespace crclist
