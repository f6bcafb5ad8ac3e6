#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A byte as one completed write found it and left it.
struct ByteChange {
    int64_t offset = 0;
    uint8_t before = 0;
    uint8_t after = 0;
};

struct HistoryStep {
    std::string label;  // "Save CHARIZARD"
    int32_t species = -1;
    std::vector<ByteChange> changes;  // in the order they were written
};

// The completed writes of the open ROM, newest last, and the ones taken back, ready to be done again. It
// holds bytes only as the file had them before and after each step; every read still goes to the file.
class WriteHistory {
public:
    void Record(HistoryStep step);  // a new step drops everything that could be redone
    void Clear();

    [[nodiscard]] const HistoryStep* NextUndo() const { return done_.empty() ? nullptr : &done_.back(); }
    [[nodiscard]] const HistoryStep* NextRedo() const { return undone_.empty() ? nullptr : &undone_.back(); }
    void MarkUndone();  // the step of NextUndo was written back
    void MarkRedone();  // the step of NextRedo was written again

    [[nodiscard]] size_t UndoCount() const { return done_.size(); }
    [[nodiscard]] size_t RedoCount() const { return undone_.size(); }

private:
    std::vector<HistoryStep> done_;
    std::vector<HistoryStep> undone_;
};
