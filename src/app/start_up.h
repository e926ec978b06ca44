#ifndef QORVSYNC_APP_START_UP_H_
#define QORVSYNC_APP_START_UP_H_

class TfrmMain;

// FormCreate: the program's start-up sequence into the window: the
// configuration record, the elements the logbook's registry keys supply
// (TQSL path, the two date boxes, station location), the caption and the open
// log database; then the log poll is switched on. A stored date the window
// lacks ends the sequence as a bad one does. The first step that fails ends
// the sequence with its error; what was set until then stays.
void StartUp(TfrmMain& form);

#endif  // QORVSYNC_APP_START_UP_H_
