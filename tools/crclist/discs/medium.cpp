#include "tools/crclist/discs/medium.h"

#include <utility>

namespace crclist {
namespace {

std::function<Medium(const std::string&)>& Answer() {
    static std::function<Medium(const std::string&)> answer;
    return answer;
}

}  // namespace

namespace testing {

void AnswerMediumOf(std::function<Medium(const std::string& path)> answer) {
    Answer() = std::move(answer);
}

}  // namespace testing

const char* MediumName(Medium::Kind kind) {
    switch (kind) {
        case Medium::Kind::kOptical:
            return "an optical drive";
        case Medium::Kind::kRotational:
            return "a rotating disk";
        case Medium::Kind::kOther:
            break;
    }
    return "no seeking medium";
}

Medium MediumOf(const std::string& path) {
    return Answer() ? Answer()(path) : SystemMediumOf(path);
}

}  // namespace crclist
