// The progress window of one conversion stage: the TMXProgress object exists
// for the whole stage whatever the setting; with progress off it is never
// opened and the calls below do nothing.
#pragma once

#include <TMXProgress.h>

class StageProgress {
public:
    StageProgress(const wchar_t* title, int progress)
        : window_(CString(title), CString(), 0.0, 100.0, nullptr), on_(progress != 0) {}
    ~StageProgress() = default;
    StageProgress(const StageProgress&) = delete;
    StageProgress& operator=(const StageProgress&) = delete;

    void Start(int itemCount) {
        if (!on_) return;
        window_.SetMax(static_cast<double>(itemCount));
        window_.StartProgress();
    }
    void Step() {
        if (on_) window_.StepIt(1.0);
    }
    void Status(const wchar_t* text) {
        if (on_) window_.SetStatus(CString(text));
    }
    void End() {
        if (on_) window_.EndProgress();
    }

private:
    TMXProgress window_;
    bool on_;
};
