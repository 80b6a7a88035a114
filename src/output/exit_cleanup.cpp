#include "output/exit_cleanup.h"

#include <vector>

namespace {

std::vector<UndoOnExit*>& registered() {
    static std::vector<UndoOnExit*> list;
    return list;
}

}  // namespace

UndoOnExit::UndoOnExit(std::function<void()> undo) : undo_(std::move(undo)) {
    registered().push_back(this);
}

UndoOnExit::~UndoOnExit() {
    std::erase(registered(), this);
}

void undo_work_in_progress() {
    std::vector<UndoOnExit*>& list = registered();
    while (!list.empty()) {
        UndoOnExit* newest = list.back();
        list.pop_back();
        if (newest->undo_)
            newest->undo_();
    }
}
