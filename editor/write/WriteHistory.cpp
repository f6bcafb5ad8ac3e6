#include "write/WriteHistory.h"

void WriteHistory::Record(HistoryStep step) {
    done_.push_back(std::move(step));
    undone_.clear();
}

void WriteHistory::Clear() {
    done_.clear();
    undone_.clear();
}

void WriteHistory::MarkUndone() {
    if (done_.empty()) return;
    undone_.push_back(std::move(done_.back()));
    done_.pop_back();
}

void WriteHistory::MarkRedone() {
    if (undone_.empty()) return;
    done_.push_back(std::move(undone_.back()));
    undone_.pop_back();
}
