#ifndef QORVSYNC_TESTS_KILL_KILL_LANE_H_
#define QORVSYNC_TESTS_KILL_KILL_LANE_H_

#include <QDate>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "cli/cli_sandbox.h"
#include "kill/killable_process.h"
#include "kill/side_state.h"
#include "support/service_double_process.h"

// One place where an operation is killed again and again: a logbook side
// with its own service double and its own signer, the state the operation
// starts from, and what one uninterrupted run leaves. Lanes share nothing,
// so several can kill at the same time. Each lane's signer (the TQSL
// double) has a name of its own, so that the upload of one lane never sees
// another lane's TQSL running.
class KillLane {
 public:
  // Sets the lane up; `prepare`, when given, runs once before the starting
  // state is kept. Test failures say what went wrong.
  KillLane(int number, const QStringList& arguments, const QStringList& prepare);

  bool Ready() const { return ready_; }
  // One uninterrupted run, the one every killed run is held against; false
  // when it did not end.
  bool Begin();
  int RunMs() const { return run_ms_; }
  int ReferenceExit() const { return reference_exit_; }
  QString SignerName() const { return signer_name_; }
  QString SignerLog() const { return root_.filePath("tqsl.log"); }

  // Kills the program once `reach` returns true (false: it ended first),
  // then checks the state and reruns the command to its end. False when the
  // program ended before it could be killed.
  bool Trial(const QString& label, const std::function<bool(KillableProcess&)>& reach,
             const QString& stop_at = QString(), const QStringList& environment = {});
  // The signer killed while the program waits for it: nothing may be sent.
  void KillTheSigner();

 private:
  std::unique_ptr<KillableProcess> Start(const QString& stop_at,
                                         const QStringList& environment = {});
  void Restore();
  SideState ReadState(QString* integrity) const;
  void RunReference();
  QSet<QString> AcceptedContacts() const;
  qsizetype UploadRequests() const;
  void WaitForOrphanedSigner() const;
  void CheckAfterKill(const QString& label) const;
  void RerunToTheEnd(const QString& label);

  QTemporaryDir root_;
  ServiceDoubleProcess service_;
  std::unique_ptr<LogbookSide> side_;
  QStringList arguments_;
  QString signer_name_;
  SideState start_;
  SideState reference_;
  int reference_exit_ = -1;
  int run_ms_ = 0;
  QDate reference_day_;
  bool ready_ = false;
};

#endif  // QORVSYNC_TESTS_KILL_KILL_LANE_H_
