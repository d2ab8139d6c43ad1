// Makes sure a check's progress dialog is finished on every way out of the check.
#pragma once

#include "dialogs/progress_dialog.h"

class ProgressFinish {
  public:
    explicit ProgressFinish(ProgressDialog& progress) : progress_(progress) {}
    ProgressFinish(const ProgressFinish&) = delete;
    ProgressFinish& operator=(const ProgressFinish&) = delete;
    // Finish closes the dialog unless the user or the check did so already.
    ~ProgressFinish() { progress_.Finish(); }

  private:
    ProgressDialog& progress_;
};
