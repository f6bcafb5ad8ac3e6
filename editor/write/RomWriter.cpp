#include "write/RomWriter.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <limits>
#include <map>
#include <optional>

#include "DurableFile.h"
#include "HexFunctions.h"
#include "HexOffset.h"
#include "rom/RomOpener.h"
#include "write/RomBackups.h"
#include "write/RomJournal.h"

namespace {

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// Reads the bytes at the given offsets (sorted, each once) with one read per cluster of nearby offsets, so a
// save spread over a few tables costs a few reads rather than one per byte.
std::optional<std::vector<uint8_t>> ReadAt(const std::string& path, const std::vector<int64_t>& offsets) {
    constexpr int64_t kGap = 4096;
    std::vector<uint8_t> values;
    values.reserve(offsets.size());
    for (size_t first = 0; first < offsets.size();) {
        size_t last = first;
        while (last + 1 < offsets.size() && offsets[last + 1] - offsets[last] <= kGap) ++last;
        const std::optional<std::vector<uint8_t>> run =
            HexFunctions::ReadBytes(path, offsets[first], offsets[last] - offsets[first] + 1);
        if (!run) return std::nullopt;
        for (size_t k = first; k <= last; ++k) values.push_back((*run)[offsets[k] - offsets[first]]);
        first = last + 1;
    }
    return values;
}

// The fields with bytes outside a file of size bytes, each with its first such offset.
std::string OutsideTheFile(const std::vector<PlannedByte>& bytes, int64_t size) {
    const int64_t end = std::min<int64_t>(size, int64_t{std::numeric_limits<int32_t>::max()} + 1);
    std::vector<std::string> fields;
    std::string text;
    for (const PlannedByte& byte : bytes) {
        if (byte.offset >= 0 && byte.offset < end) continue;
        if (std::find(fields.begin(), fields.end(), byte.field) != fields.end()) continue;
        fields.push_back(byte.field);
        text += (text.empty() ? "" : ", ") + byte.field + " at " + HexOffset(byte.offset);
    }
    return text;
}

WriteOutcome Refused(std::string error) {
    WriteOutcome outcome;
    outcome.error = std::move(error);
    return outcome;
}

}  // namespace

RomWriter::RomWriter(EditorSession session) : session_(std::move(session)) {}

std::string RomWriter::ChangedSinceOpening() const {
    const std::string& path = session_.RomPath;
    const auto changed = [&path](const std::string& how) {
        return "The file " + Quoted(path) + " has changed since it was opened (" + how +
               "): open it again. Nothing was written.";
    };
    const std::optional<int64_t> size = HexFunctions::RomFileSize(path);
    if (!size) return changed("it cannot be read any more; it may have been moved or removed");
    if (*size != session_.FileSize)
        return changed("it had " + std::to_string(session_.FileSize) + " bytes and now has " +
                       std::to_string(*size));
    const std::optional<std::vector<uint8_t>> header =
        HexFunctions::ReadBytes(path, HexFunctions::kGameCodeOffset,
                                HexFunctions::kVersionOffset + 1 - HexFunctions::kGameCodeOffset);
    const bool sameGame =
        header && std::equal(session_.GameCode.begin(), session_.GameCode.end(), header->begin(),
                             [](char c, uint8_t b) { return static_cast<uint8_t>(c) == b; });
    if (!sameGame || header->back() != session_.Version)
        return changed("its game code or release is not the one it had");
    if (!StructureProblem(session_).empty())
        return changed("its tables are no longer where section [" + session_.Section + "] of Data.ini says");
    return {};
}

RomWriter::Committed RomWriter::Commit(const std::vector<PlannedByte>& bytes) {
    Committed committed;
    const std::string& path = session_.RomPath;
    if (bytes.empty()) {
        committed.outcome.complete = true;
        return committed;
    }
    if (!HexFunctions::CanOpenForWriting(path)) {
        committed.outcome.error = "The file " + Quoted(path) +
                                  " cannot be opened for writing (it may be read-only, moved or removed). "
                                  "Nothing was written.";
        return committed;
    }
    if (std::string changed = ChangedSinceOpening(); !changed.empty()) {
        committed.outcome.error = std::move(changed);
        return committed;
    }
    if (const std::string outside = OutsideTheFile(bytes, session_.FileSize); !outside.empty()) {
        committed.outcome.error = "The file " + Quoted(path) + " has " + std::to_string(session_.FileSize) +
                                  " bytes, and " + outside +
                                  " would lie beyond its end. Nothing was written.";
        return committed;
    }
    if (RomJournal::Inspect(path).state != RomJournal::State::None) {
        committed.outcome.error = "The journal " + Quoted(RomJournal::PathFor(path)) +
                                  " of an earlier, interrupted write lies beside the ROM. Open the ROM again "
                                  "to roll that write back or keep the file as it is, or move the journal "
                                  "away. Nothing was written.";
        return committed;
    }

    // Each offset once, with the value the plan leaves there last. A sorted vector rather than a map: an
    // imported picture plans a thousand bytes or more, and a node per byte cost more than the sorting.
    std::vector<std::pair<int64_t, uint8_t>> planned;
    planned.reserve(bytes.size());
    for (const PlannedByte& byte : bytes) planned.emplace_back(byte.offset, byte.value);
    std::stable_sort(planned.begin(), planned.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<int64_t> offsets;
    std::vector<uint8_t> finalValues;
    offsets.reserve(planned.size());
    finalValues.reserve(planned.size());
    for (const auto& [offset, value] : planned) {
        if (!offsets.empty() && offsets.back() == offset) {
            finalValues.back() = value;
            continue;
        }
        offsets.push_back(offset);
        finalValues.push_back(value);
    }
    const std::optional<std::vector<uint8_t>> before = ReadAt(path, offsets);
    if (!before) {
        committed.outcome.error = "The file " + Quoted(path) + " cannot be read. Nothing was written.";
        return committed;
    }

    if (backups_ && !backedUp_) {
        const std::string problem = RomBackups::BackUp(path, std::time(nullptr));
        if (!problem.empty()) {
            committed.outcome.error = "The ROM could not be backed up before its first write: " + problem +
                                      ". Nothing was written. (Settings... can turn the backup off.)";
            return committed;
        }
        backedUp_ = true;
    }

    RomJournal::Journal journal;
    journal.romSize = session_.FileSize;
    journal.entries.reserve(offsets.size());
    for (size_t k = 0; k < offsets.size(); ++k) journal.entries.push_back({offsets[k], (*before)[k]});
    if (std::string problem = RomJournal::Write(path, journal); !problem.empty()) {
        committed.outcome.error = std::move(problem);
        return committed;
    }

    for (const PlannedByte& byte : bytes) {
        if (writeByte_(path, byte.offset, byte.value)) {
            ++committed.outcome.bytesWritten;
            continue;
        }
        const std::string failed = "The byte for " + byte.field + " at offset " +
                                   std::to_string(byte.offset) + " (" + HexOffset(byte.offset) + ") of " +
                                   Quoted(path) + " could not be written";
        const std::string rollback = RomJournal::Restore(path, journal, writeByte_);
        committed.outcome.error =
            rollback.empty()
                ? failed + ", so the write was rolled back: the file is as it was before. Nothing was saved."
                : failed + ", and rolling the write back failed too: " + rollback +
                      " Open the ROM again to roll the write back.";
        return committed;
    }
    if (!DurableFile::Sync(path)) {
        committed.outcome.error = "The written bytes of " + Quoted(path) +
                                  " could not be flushed to the disk (" + DurableFile::LastError() +
                                  "). The journal " + Quoted(RomJournal::PathFor(path)) +
                                  " stays beside the ROM: open the ROM again to roll the write back.";
        return committed;
    }
    committed.outcome.complete = true;
    if (std::string problem = RomJournal::Discard(path); !problem.empty())
        committed.outcome.warning =
            "The write is complete, but " + problem + " The next opening will ask about it: choose Keep.";
    for (size_t k = 0; k < offsets.size(); ++k) {
        const uint8_t after = finalValues[k];
        if (after != (*before)[k]) committed.changes.push_back({offsets[k], (*before)[k], after});
    }
    return committed;
}

WriteOutcome RomWriter::Apply(const WritePlan& plan) {
    Committed committed = Commit(plan.bytes);
    // A write that changed no byte leaves nothing to take back.
    if (committed.outcome.complete && !committed.changes.empty())
        history_.Record({plan.label, plan.species, std::move(committed.changes)});
    return committed.outcome;
}

WriteOutcome RomWriter::WriteBack(const HistoryStep& step, bool undo) {
    const std::string verb = undo ? "undone" : "redone";
    std::vector<int64_t> offsets;
    offsets.reserve(step.changes.size());
    for (const ByteChange& change : step.changes) offsets.push_back(change.offset);
    std::vector<int64_t> sorted = offsets;
    std::sort(sorted.begin(), sorted.end());
    const std::optional<std::vector<uint8_t>> now = ReadAt(session_.RomPath, sorted);
    if (!now)
        return Refused("The file " + Quoted(session_.RomPath) + " cannot be read. Nothing was written.");

    // The file must still hold what the step left (or, to redo, what it found): anything else was written by
    // another program since, and writing over it would lose that.
    std::map<int64_t, uint8_t> expected;
    for (const ByteChange& change : step.changes)
        expected[change.offset] = undo ? change.after : change.before;
    for (size_t k = 0; k < sorted.size(); ++k) {
        if ((*now)[k] != expected[sorted[k]])
            return Refused("\"" + step.label + "\" cannot be " + verb + ": the byte at offset " +
                           HexOffset(sorted[k]) + " of " + Quoted(session_.RomPath) +
                           " has been changed by another program since. Nothing was written.");
    }
    std::vector<PlannedByte> bytes;
    bytes.reserve(step.changes.size());
    for (const ByteChange& change : step.changes)
        bytes.push_back({change.offset, undo ? change.before : change.after, step.label});
    return Commit(bytes).outcome;
}

WriteOutcome RomWriter::Undo() {
    const HistoryStep* step = history_.NextUndo();
    if (!step) return Refused("There is nothing to undo.");
    WriteOutcome outcome = WriteBack(*step, true);
    if (outcome.complete) history_.MarkUndone();
    return outcome;
}

WriteOutcome RomWriter::Redo() {
    const HistoryStep* step = history_.NextRedo();
    if (!step) return Refused("There is nothing to redo.");
    WriteOutcome outcome = WriteBack(*step, false);
    if (outcome.complete) history_.MarkRedone();
    return outcome;
}
