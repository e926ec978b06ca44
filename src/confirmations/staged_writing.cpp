#include "confirmations/staged_writing.h"

#include "confirmations/confirmation_outcome.h"
#include "platform/event_pump.h"

MatchTally WriteStagedWithProgress(OperationUi& ui, LogDatabase& database,
                                   const MatchTally& matched, StagedChanges& staged) {
  MatchTally written = matched;
  for (TableTally& table : written.tables) table.confirmed = 0;
  KeepTallyOnError(written, [&] {
    EventPump pump(ui);
    const qsizetype n = staged.Count();
    qsizetype done = 0;
    database.WriteStagedChanges(staged, [&](const QString& table, bool changed) {
      if (changed) written.Confirmed(table);
      pump.SetProgress(static_cast<int>(++done * 100 / n));
      pump.Tick();
    });
    pump.SetProgress(100);
  });
  return written;
}
