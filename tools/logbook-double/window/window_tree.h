#ifndef QORVSYNC_LOGBOOK_WINDOW_WINDOW_TREE_H_
#define QORVSYNC_LOGBOOK_WINDOW_WINDOW_TREE_H_

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

// The logbook's windows as the window link sees them: handles, classes,
// child order, control ids and texts. Each window also has a short name
// ("selector", "edit1") that the double's test commands and message log use.
class WindowTree {
 public:
  using Handle = quintptr;

  struct Window {
    Handle handle = 0;
    Handle parent = 0;  // 0 for a top-level window
    QString class_name;
    QString name;
    qint64 ctrl_id = 0;
    QString text;
    std::vector<Handle> children;
  };

  Handle Add(Handle parent, const QString& class_name, const QString& name, qint64 ctrl_id = 0);

  Handle FindTopLevel(const QString& class_name) const;
  // The next child of the class after `after` (0: from the first); 0 when
  // `after` is not a child of `parent`, as the original interface does.
  Handle FindChild(Handle parent, Handle after, const QString& class_name) const;

  const Window* Find(Handle handle) const;
  Window* Find(Handle handle);
  Handle HandleOf(const QString& name) const;  // 0 when there is none
  // The window's name, or its number when it is unknown.
  QString NameOf(Handle handle) const;

 private:
  std::vector<Window> windows_;
  std::vector<Handle> top_level_;
  QHash<QString, Handle> by_name_;
};

// The entry window's layout. `first_panel_sub_panels` is normally five; 0
// gives an entry window whose first top panel holds no panels.
struct EntryWindowLayout {
  int first_panel_sub_panels = 5;
};

// The logbook's windows, in child order:
//   "TfmMain" main           the logbook's main window
//   "TfmEditNewQso" EditNewQso
//     "TToolBar" toolbar0    a toolbar before the first top panel
//     "TPanel" panel1        sub-panels panel1.1 ... panel1.5 ("TPanel")
//     "TPanel" panel2        sub-panels panel2.1 ... panel2.5
//   the first and third sub-panels of each hold a "TdxButtonEdit", the fourth a
//   "TdxDateEdit" and then the entry field "TdxButtonEdit" edit1 / edit2
//     "TToolBar" toolbar     "TSpeedButton" button, "TRxDBLookupCombo" selector
//     "TPanel" panel3        the status panel, no sub-panels
// The selector's control id has bits above the low 16.
void BuildEntryWindowTree(WindowTree& tree, const EntryWindowLayout& layout);

inline constexpr qint64 kSelectorCtrlId = 0x10000 + 117;

#endif  // QORVSYNC_LOGBOOK_WINDOW_WINDOW_TREE_H_
