#ifndef QORVSYNC_TOOLS_DEMO_TOUR_TOUR_H_
#define QORVSYNC_TOOLS_DEMO_TOUR_TOUR_H_

#include <QString>
#include <QTextStream>

class QAbstractButton;
class TfrmMain;
class TourDialogs;

// The guided tour: presses the buttons of the four pages in turn through the
// window's own widgets, as a user would, prints what each step showed and
// saves a picture of the window after each step.
class Tour {
 public:
  Tour(TfrmMain& window, TourDialogs& dialogs, QTextStream& out, QString shots_folder,
       QString saved_report);

  // Runs every step and closes the window; the exit code of the tour.
  int Run();

 private:
  void Start();
  void QorvDownload();
  void QorvImport();
  void EqslDownload();
  void Upload();
  void ClublogPage();
  void LogSwitch();
  void Close();

  void Step(const QString& title);
  void ShowPage(int index);
  void Click(QAbstractButton* button);
  void Wait(int ms);
  void Shot(const QString& name);
  void PrintWindow();
  void PrintClublogReply();
  // A test request to the logbook double: picks a log as its user would.
  bool SelectLogInLogbook(const QString& name);
  // The newest ADIF file the upload kept in the logbook's "Qorv Logs" folder.
  QString KeptExportFile() const;

  template <typename T>
  T* Element(const char* name) const;

  TfrmMain& window_;
  TourDialogs& dialogs_;
  QTextStream& out_;
  QString shots_folder_;
  QString saved_report_;
  int shot_number_ = 0;
};

#endif  // QORVSYNC_TOOLS_DEMO_TOUR_TOUR_H_
