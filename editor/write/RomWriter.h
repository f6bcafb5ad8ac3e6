#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rom/EditorSession.h"
#include "write/ByteWriter.h"
#include "write/WriteHistory.h"
#include "write/WritePlan.h"

struct WriteOutcome {
    bool complete = false;     // every byte of the plan is in the file and on the disk
    int64_t bytesWritten = 0;  // bytes of the plan written (an offset written twice counts twice)
    std::string error;         // when not complete: what happened, naming the file
    std::string warning;       // when complete but something around the write went wrong (a journal left)
};

// The one path by which the editor changes a ROM. Before the first byte it checks that the file is still the
// ROM that was opened and that every byte fits in it, backs the ROM up on the opening's first write, and puts
// a journal of the old bytes on the disk; then it writes the bytes, flushes the ROM and removes the journal.
// A byte that fails rolls the write back. Every completed write becomes a step of the history, which Undo
// and Redo write back through the same path.
class RomWriter {
public:
    explicit RomWriter(EditorSession session);

    [[nodiscard]] const EditorSession& Session() const { return session_; }
    [[nodiscard]] const WriteHistory& History() const { return history_; }

    void SetBackupsEnabled(bool on) { backups_ = on; }
    // Stands in another byte writer, for tests that fail a write part way.
    void SetByteWriter(ByteWriter writer) { writeByte_ = std::move(writer); }

    [[nodiscard]] WriteOutcome Apply(const WritePlan& plan);
    // Why the file is no longer the ROM that was opened, or empty. A plan built from a changed file means
    // nothing, so a planner that fails asks this for the message to show.
    [[nodiscard]] std::string ChangedSinceOpening() const;
    [[nodiscard]] WriteOutcome Undo();
    [[nodiscard]] WriteOutcome Redo();

private:
    struct Committed {
        WriteOutcome outcome;
        std::vector<ByteChange> changes;  // each offset once: as found, and as left
    };
    [[nodiscard]] Committed Commit(const std::vector<PlannedByte>& bytes);
    [[nodiscard]] WriteOutcome WriteBack(const HistoryStep& step, bool undo);

    EditorSession session_;
    WriteHistory history_;
    ByteWriter writeByte_ = WriteRomByte;
    bool backups_ = true;
    bool backedUp_ = false;
};
