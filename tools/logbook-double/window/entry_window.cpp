#include "window/entry_window.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

#include "platform/app_error.h"
#include "window/window_tree_server.h"

class QsoTableModel : public QAbstractTableModel {
 public:
  explicit QsoTableModel(const WindowTreeServer& server, QObject* parent)
      : QAbstractTableModel(parent), server_(server) {}

  void Refresh() {
    beginResetModel();
    endResetModel();
  }

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : int(server_.Qsos().size());
  }
  int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 8; }

  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const QsoRow& row = server_.Qsos().at(index.row());
    const auto flag = [](bool on) { return on ? QStringLiteral("Yes") : QString(); };
    switch (index.column()) {
      case 0:
        return row.date;
      case 1:
        return row.time;
      case 2:
        return row.call;
      case 3:
        return row.band;
      case 4:
        return row.mode;
      case 5:
        return flag(row.qorv_rec);
      case 6:
        return flag(row.eqsl_rec);
      default:
        return flag(row.qorv_sent);
    }
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    static const char* const kHeaders[] = {"QSODate", "QSOTime", "CallSign",     "DigiBand",
                                           "QSOMode", "QorvRec", "QSLReceQSLcc", "QorvSent"};
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    return QString::fromLatin1(kHeaders[section]);
  }

 private:
  const WindowTreeServer& server_;
};

EntryWindow::EntryWindow(WindowTreeServer& server, QWidget* parent)
    : QWidget(parent), server_(server) {
  setWindowTitle(QStringLiteral("Vodrix log - entry window"));
  selector_ = new QComboBox(this);
  selector_->addItems(server_.LogNames());
  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("Log:"), selector_);
  for (int i = 0; i < 2; ++i) {
    entry_fields_[i] = new QLineEdit(this);
    entry_fields_[i]->setReadOnly(true);
    entry_fields_[i]->setText(server_.EntryText(i + 1));
    fields->addRow(QStringLiteral("Call (panel %1):").arg(i + 1), entry_fields_[i]);
  }
  model_ = new QsoTableModel(server_, this);
  auto* table = new QTableView(this);
  table->setModel(model_);
  table->verticalHeader()->hide();
  status_ = new QLabel(this);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(table, 1);
  layout->addWidget(status_);
  resize(760, 480);

  ShowLog(server_.CurrentLog());
  connect(selector_, &QComboBox::textActivated, this, [this](const QString& name) {
    try {
      server_.SelectLog(name);
    } catch (const AppError& error) {
      status_->setText(error.Message());
    }
  });
  connect(&server_, &WindowTreeServer::LogChanged, this, &EntryWindow::ShowLog);
  connect(&server_, &WindowTreeServer::QsosReloaded, this, [this] {
    model_->Refresh();
    ShowReloads();
  });
  connect(&server_, &WindowTreeServer::EntryTextChanged, this,
          [this](int panel, const QString& text) { entry_fields_[panel - 1]->setText(text); });
}

void EntryWindow::ShowLog(const QString& name) {
  selector_->setCurrentIndex(selector_->findText(name));
  model_->Refresh();
  ShowReloads();
}

void EntryWindow::ShowReloads() {
  status_->setText(QStringLiteral("%1 QSOs, reloaded %2 times by the window link")
                       .arg(server_.Qsos().size())
                       .arg(server_.Reloads()));
}
