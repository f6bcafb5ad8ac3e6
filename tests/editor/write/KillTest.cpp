#include "EditorTest.h"

// POSIX: a real child process killed with SIGKILL at random moments of its writes.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "write/RomJournal.h"
#include "write/RomWriter.h"

namespace {

constexpr int kKills = 200;
// At least this many kills must find a journal to roll back. A machine where fewer kills land inside the
// journal's lifetime gets more kills, up to kMostKills, rather than a failure.
constexpr int kRollbacks = 20;
constexpr int kMostKills = 2000;
constexpr int kSpan = 93;  // the bytes of one species save

// Write number w puts the value w % 251 + 1 into every byte of the span (records 40 to 43), so the span
// always tells which writes are in it: all its bytes agree, or a write was caught half way.
WritePlan PlanNumber(int64_t span, int w) {
    WritePlan plan;
    plan.label = "write " + std::to_string(w);
    for (int k = 0; k < kSpan; ++k) plan.Add("byte", span + k, static_cast<uint8_t>(w % 251 + 1));
    return plan;
}

// The kills are drawn over the length of one write as this machine makes it, and counted from the moment the
// child says its writes are under way: a slow machine or a late child moves the kills with it.
std::chrono::nanoseconds MedianWrite(RomWriter& writer, int64_t span) {
    std::vector<std::chrono::nanoseconds> times;
    for (int w = 1; w <= 9; ++w) {
        const auto begin = std::chrono::steady_clock::now();
        EXPECT_TRUE(writer.Apply(PlanNumber(span, w)).complete);
        times.push_back(std::chrono::steady_clock::now() - begin);
    }
    std::nth_element(times.begin(), times.begin() + 4, times.end());
    return times[4];
}

TEST(KillTest, ARollbackAfterSigkillAlwaysGivesAWholeState) {
    TempDir dir;
    RomBuilder builder(DemoLayout());
    const int64_t span = builder.layout().DataOffset + 28 * 40;
    builder.Fill(static_cast<int32_t>(span), std::vector<uint8_t>(kSpan, 0));
    const auto files = WriteRomFiles(dir, builder);
    ASSERT_TRUE(files.written);
    RomWriter writer = QuietWriter(files.session);
    const auto oneWrite = MedianWrite(writer, span);
    std::vector<uint8_t> outside = ReadFileBytes(files.rom);
    std::mt19937 engine(99u);
    std::uniform_int_distribution<int64_t> killAt(0, 3 * oneWrite.count());
    int restored = 0, value = -1;

    int kill = 0;
    for (; kill < kKills || (restored < kRollbacks && kill < kMostKills); ++kill) {
        int underWay[2];
        ASSERT_EQ(::pipe(underWay), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(underWay[0]);
            const char ready = 'w';
            if (::write(underWay[1], &ready, 1) != 1) ::_exit(4);
            for (int w = 1 + (kill + 1) * 1000;; ++w) {
                if (!writer.Apply(PlanNumber(span, w)).complete) ::_exit(3);
            }
        }
        ::close(underWay[1]);
        char ready = 0;
        ASSERT_EQ(::read(underWay[0], &ready, 1), 1) << "the child never started writing";
        ::close(underWay[0]);
        std::this_thread::sleep_for(std::chrono::nanoseconds(killAt(engine)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped on its own: " << status;

        const RomJournal::Inspection found = RomJournal::Inspect(files.rom);
        ASSERT_NE(found.state, RomJournal::State::DoesNotFit) << found.problem;
        if (found.state == RomJournal::State::Fits) {
            ASSERT_EQ(RomJournal::Restore(files.rom, found.journal), "");
            ++restored;
        }
        std::vector<uint8_t> now = ReadFileBytes(files.rom);
        // The span holds the bytes of one write, never a mixture; nothing outside it ever changes.
        for (int k = 1; k < kSpan; ++k)
            ASSERT_EQ(now[span + k], now[span]) << "kill " << kill << " byte " << k;
        for (int k = 0; k < kSpan; ++k) outside[span + k] = now[span + k];
        ASSERT_EQ(Differences(outside, now), "");
        value = now[span];
    }
    // The child writes without pause once under way and a journal stands through most of each write, so
    // failing to find kRollbacks journals in kMostKills kills means the kills missed the writes.
    EXPECT_GE(restored, kRollbacks) << "too few of " << kill << " kills came during a write";
    EXPECT_NE(value, -1);
    RecordProperty("kills", kill);
    RecordProperty("rollbacks", restored);
    RecordProperty("write_microseconds",
                   static_cast<int>(std::chrono::duration_cast<std::chrono::microseconds>(oneWrite).count()));
}

}  // namespace
