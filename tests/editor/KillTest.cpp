#include <gtest/gtest.h>

// POSIX: a real child process killed with SIGKILL at random moments of its writes.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "RomBuilder.h"
#include "RomJournal.h"
#include "RomWriter.h"
#include "TempDir.h"
#include "TestFiles.h"

namespace {

using testsupport::ReadFileBytes;

constexpr int kKills = 200;
constexpr int kSpan = 93;  // the bytes of one species save

// Write number w puts the value w % 251 + 1 into every byte of the span (records 40 to 43), so the span
// always tells which writes are in it: all its bytes agree, or a write was caught half way.
WritePlan PlanNumber(int64_t span, int w) {
    WritePlan plan;
    plan.label = "write " + std::to_string(w);
    for (int k = 0; k < kSpan; ++k) plan.Add("byte", span + k, static_cast<uint8_t>(w % 251 + 1));
    return plan;
}

TEST(KillTest, ARollbackAfterSigkillAlwaysGivesAWholeState) {
    testsupport::TempDir dir;
    RomBuilder builder(DemoLayout());
    const int64_t span = builder.layout().DataOffset + 28 * 40;
    builder.Fill(static_cast<int32_t>(span), std::vector<uint8_t>(kSpan, 0));
    const auto files = testsupport::WriteRomFiles(dir, builder);
    ASSERT_TRUE(files.written);
    std::vector<uint8_t> outside = ReadFileBytes(files.rom);
    std::mt19937 engine(99u);
    int restored = 0, value = -1;
    const auto started = std::chrono::steady_clock::now();

    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            RomWriter writer = testsupport::QuietWriter(files.session);
            for (int w = 1 + kill * 1000;; ++w) {
                if (!writer.Apply(PlanNumber(span, w)).complete) ::_exit(3);
            }
        }
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution(200, 6000)(engine)));
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
        ASSERT_EQ(testsupport::Differences(outside, now), "");
        value = now[span];
    }
    EXPECT_GT(restored, 0) << "no kill came during a write";
    EXPECT_NE(value, -1);
    RecordProperty("rollbacks", restored);
    RecordProperty("seconds", static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(
                                                   std::chrono::steady_clock::now() - started)
                                                   .count()));
}

}  // namespace
