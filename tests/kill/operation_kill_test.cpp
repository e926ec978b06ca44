// Every operation of the command line killed with SIGKILL at points placed on
// purpose and at random moments: after each kill the log, the stored dates
// and the files hold a state the operation may leave, and the same command
// run to its end gives what one uninterrupted run gives.
#include <gtest/gtest.h>

#include <QFile>
#include <atomic>
#include <iostream>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "kill/kill_lane.h"

namespace {

constexpr int kRunMs = 60000;
// Kill trials mostly wait (for the program's start, the logbook nudge's
// pause): lanes side by side keep the test short. QORVSYNC_KILL_LANES sets
// another number for a long sweep.
int Lanes() {
  const int lanes = qEnvironmentVariableIntValue("QORVSYNC_KILL_LANES");
  return lanes > 0 ? lanes : 4;
}

struct Operation {
  const char* name;
  QStringList arguments;
  // Kill points placed on purpose ("name:n", the n-th pass).
  QStringList points;
  // Runs TQSL: killed once more while it signs, and once its signer.
  bool signs = false;
  // Run once before the operation's starting state is kept.
  QStringList prepare = {};
};

void PrintTo(const Operation& operation, std::ostream* out) { *out << operation.name; }

const QStringList kDownloadQorv = {"download", "qorv", "--since", "2000-01-01"};

const Operation kOperations[] = {
    {"DownloadQorv", kDownloadQorv, {"rename:1", "commit:1", "rename:2", "rename:3"}},
    {"Import", {"import", "{report}"}, {"commit:1", "rename:1"}},
    {"DownloadEqsl",
     {"download", "eqsl", "--since", "2000-01-01"},
     {"rename:1", "commit:1", "rename:2", "rename:3"}},
    {"Upload",
     {"upload"},
     {"export-record:1", "export-record:300", "rename:1", "accepted", "commit:1"},
     true},
    {"UploadWithClublog",
     {"upload", "--clublog"},
     {"export-record:200", "rename:1", "accepted", "commit:1"},
     true},
    {"Clublog", {"clublog", "{adif}"}, {}},
    {"Confirm", {"unmatched", "--confirm", "log_main:1"}, {"commit:1"}, false, kDownloadQorv},
    {"CheckSentUnmark", {"check-sent", "--unmark"}, {"commit:1"}},
};

int KillsWanted() {
  const int wanted = qEnvironmentVariableIntValue("QORVSYNC_KILL_POINTS");
  return wanted > 0 ? wanted : 25;
}

unsigned Seed() {
  bool ok = false;
  const unsigned seed = qEnvironmentVariable("QORVSYNC_KILL_SEED").toUInt(&ok);
  return ok ? seed : std::random_device()();
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class OperationKillTest : public testing::TestWithParam<Operation> {};

TEST_P(OperationKillTest, KilledAnywhereLosesNothingAndTheRerunEndsAsOneRunWould) {
  const Operation& operation = GetParam();
  const int lane_count = Lanes();
  std::vector<std::unique_ptr<KillLane>> lanes;
  for (int k = 0; k < lane_count; ++k) {
    lanes.push_back(std::make_unique<KillLane>(k, operation.arguments, operation.prepare));
    ASSERT_TRUE(lanes.back()->Ready());
  }
  const unsigned seed = Seed();
  std::cout << operation.name << ": kill seed " << seed << " (QORVSYNC_KILL_SEED repeats it)"
            << std::endl;
  std::atomic<int> kills = 0;
  std::atomic<int> placed = 0;
  std::atomic<int> moments = 0;
  const auto work = [&](int k) {
    KillLane& lane = *lanes[k];
    if (!lane.Begin()) return;
    for (qsizetype i = k; i < operation.points.size(); i += lane_count) {
      const QString& point = operation.points[i];
      const bool killed = lane.Trial(
          QStringLiteral("at ") + point, [](KillableProcess& p) { return p.WaitForStop(kRunMs); },
          point);
      EXPECT_TRUE(killed) << "the run never reached " << point.toStdString();
      kills += killed;
      placed += killed;
    }
    if (operation.signs && k == 0) {
      const QString log = lane.SignerLog();
      const auto signing = [&log](KillableProcess& p) {
        return p.WaitFor([&log] { return ReadFile(log).contains("\t-d"); }, kRunMs);
      };
      const bool killed = lane.Trial("while the signer runs", signing, QStringLiteral("exit"),
                                     {"TQSL_DOUBLE_DELAY_MS=400"});
      EXPECT_TRUE(killed);
      kills += killed;
      placed += killed;
    }
    if (operation.signs && k == 1) lane.KillTheSigner();
    std::mt19937 random(seed + k);
    std::uniform_int_distribution<int> moment(0, lane.RunMs() * 6 / 5);
    // The command holds at its end, so a moment later than a run under
    // other load is a kill at the end, never a run that ended first.
    while (kills < KillsWanted() && !testing::Test::HasFailure()) {
      ++moments;
      const int ms = moment(random);
      const bool killed = lane.Trial(
          QStringLiteral("after %1 ms (seed %2, lane %3)").arg(ms).arg(seed).arg(k),
          [ms](KillableProcess& p) {
            p.WaitForStop(ms);
            return true;
          },
          QStringLiteral("exit"));
      EXPECT_TRUE(killed) << "the run ended without passing its end";
      kills += killed;
    }
  };
  std::vector<std::thread> threads;
  for (int k = 0; k < lane_count; ++k) threads.emplace_back(work, k);
  for (std::thread& thread : threads) thread.join();
  std::cout << operation.name << ": one run " << lanes[0]->RunMs() << " ms (exit "
            << lanes[0]->ReferenceExit() << "); " << kills << " kills, " << placed
            << " at placed points, " << moments << " random moments" << std::endl;
  EXPECT_GE(kills, KillsWanted());
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, OperationKillTest, testing::ValuesIn(kOperations),
                         [](const testing::TestParamInfo<Operation>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
