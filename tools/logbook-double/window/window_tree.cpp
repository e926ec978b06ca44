#include "window/window_tree.h"

namespace {

// Handles look like the original interface's: even numbers well above 0.
constexpr WindowTree::Handle kFirstHandle = 0x20010;
constexpr WindowTree::Handle kHandleStep = 2;

}  // namespace

WindowTree::Handle WindowTree::Add(Handle parent, const QString& class_name, const QString& name,
                                   qint64 ctrl_id) {
  Window window;
  window.handle = kFirstHandle + kHandleStep * windows_.size();
  window.parent = parent;
  window.class_name = class_name;
  window.name = name;
  window.ctrl_id = ctrl_id;
  const Handle handle = window.handle;
  if (parent == 0) {
    top_level_.push_back(handle);
  } else {
    Find(parent)->children.push_back(handle);
  }
  windows_.push_back(std::move(window));
  by_name_.insert(name, handle);
  return handle;
}

WindowTree::Handle WindowTree::FindTopLevel(const QString& class_name) const {
  for (Handle handle : top_level_) {
    if (Find(handle)->class_name == class_name) return handle;
  }
  return 0;
}

WindowTree::Handle WindowTree::FindChild(Handle parent, Handle after,
                                         const QString& class_name) const {
  const Window* window = Find(parent);
  if (window == nullptr) return 0;
  auto it = window->children.begin();
  if (after != 0) {
    while (it != window->children.end() && *it != after) ++it;
    if (it == window->children.end()) return 0;
    ++it;
  }
  for (; it != window->children.end(); ++it) {
    if (Find(*it)->class_name == class_name) return *it;
  }
  return 0;
}

const WindowTree::Window* WindowTree::Find(Handle handle) const {
  if (handle < kFirstHandle || (handle - kFirstHandle) % kHandleStep != 0) return nullptr;
  const size_t index = (handle - kFirstHandle) / kHandleStep;
  return index < windows_.size() ? &windows_[index] : nullptr;
}

WindowTree::Window* WindowTree::Find(Handle handle) {
  return const_cast<Window*>(std::as_const(*this).Find(handle));
}

WindowTree::Handle WindowTree::HandleOf(const QString& name) const {
  return by_name_.value(name, 0);
}

QString WindowTree::NameOf(Handle handle) const {
  const Window* window = Find(handle);
  return window != nullptr ? window->name : QString::number(handle);
}

void BuildEntryWindowTree(WindowTree& tree, const EntryWindowLayout& layout) {
  const QString panel = QStringLiteral("TPanel");
  const QString edit = QStringLiteral("TdxButtonEdit");
  tree.Add(0, QStringLiteral("TfmMain"), QStringLiteral("main"));
  const auto entry = tree.Add(0, QStringLiteral("TfmEditNewQso"), QStringLiteral("EditNewQso"));
  tree.Add(entry, QStringLiteral("TToolBar"), QStringLiteral("toolbar0"));

  const auto add_top_panel = [&](int number, int sub_panels) {
    const QString top_name = QStringLiteral("panel%1").arg(number);
    const auto top = tree.Add(entry, panel, top_name);
    for (int i = 1; i <= sub_panels; ++i) {
      const QString sub_name = top_name + QStringLiteral(".%1").arg(i);
      const auto sub = tree.Add(top, panel, sub_name, 100 * number + i);
      if (i == 1 || i == 3) tree.Add(sub, edit, sub_name + QStringLiteral(".edit"));
      if (i == 4) {
        tree.Add(sub, QStringLiteral("TdxDateEdit"), sub_name + QStringLiteral(".date"));
        tree.Add(sub, edit, QStringLiteral("edit%1").arg(number));
      }
    }
  };
  add_top_panel(1, layout.first_panel_sub_panels);
  add_top_panel(2, 5);
  const auto toolbar = tree.Add(entry, QStringLiteral("TToolBar"), QStringLiteral("toolbar"));
  tree.Add(toolbar, QStringLiteral("TSpeedButton"), QStringLiteral("button"));
  tree.Add(toolbar, QStringLiteral("TRxDBLookupCombo"), QStringLiteral("selector"),
           kSelectorCtrlId);
  tree.Add(entry, panel, QStringLiteral("panel3"));
}
