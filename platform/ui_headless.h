// The headless half of the user-interface layer (ui_headless.cpp), for tools that run the
// program's shared code where no window is shown: a message box becomes a text handed to the
// innermost MessageCollector alive, or is dropped when there is none; it is answered OK. The
// pump has no queue to drain.
#pragma once

#include <string>
#include <vector>

namespace platform {

class MessageCollector {
  public:
    // Becomes the innermost collector until it is destroyed.
    MessageCollector();
    MessageCollector(const MessageCollector&) = delete;
    MessageCollector& operator=(const MessageCollector&) = delete;
    ~MessageCollector();

    // The texts of the boxes shown while this was the innermost collector, in order.
    const std::vector<std::string>& Texts() const { return texts_; }

    // For ShowMessage: the texts go to the innermost collector.
    static void Collect(const char* text);

  private:
    MessageCollector* outer_;
    std::vector<std::string> texts_;
};

}  // namespace platform
