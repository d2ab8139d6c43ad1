// A hook of the POSIX half of the file layer (files_posix.cpp) for tests: a read error on
// demand, such as a failing disc gives in the middle of a file.
#pragma once

namespace platform::testing {

// Makes the `call`-th ReadFile from now on fail (1: the next one), once; 0 disarms it.
void FailReadCall(int call);

}  // namespace platform::testing
