#include "tools/crclist/discs/disc_reader.h"

namespace crclist {

bool OpenedDiscs::Open(const std::vector<std::string>& wheres, std::string* error) {
    wheres_ = wheres;
    for (const std::string& where : wheres) {
        std::unique_ptr<DiscReader>& reader = readers_[where];
        if (!reader && !OpenDisc(where, &reader, error)) {
            readers_.erase(where);
            return false;
        }
    }
    return true;
}

}  // namespace crclist
