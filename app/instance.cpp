#include "app/instance.h"

namespace app {
namespace {

HINSTANCE instance_ = nullptr;
HINSTANCE previousInstance_ = nullptr;

}  // namespace

void StoreInstanceHandles(HINSTANCE instance, HINSTANCE previousInstance) {
    instance_ = instance;
    previousInstance_ = previousInstance;
}

HINSTANCE Instance() {
    return instance_;
}

HINSTANCE PreviousInstance() {
    return previousInstance_;
}

}  // namespace app
