#include "app/tfrm_clublog.h"

#include <QFont>
#include <QPlainTextEdit>

#include "platform/system_folders.h"
#include "ui_tfrm_clublog.h"

namespace {

TfrmClublog* program_window = nullptr;

}  // namespace

TfrmClublog::TfrmClublog(QWidget* parent)
    : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::TfrmClublog>()) {
  ui_->setupUi(this);
  // A title bar with the close button only, above other windows.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
  setFixedSize(460, 143);
  setAttribute(Qt::WA_QuitOnClose, false);
  // Tahoma where the system has it, else a close sans face of the same size.
  QFont face = ui_->Memo1->font();
  face.setFamilies(
      {QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
  face.setPixelSize(13);
  ui_->Memo1->setFont(face);
  if (program_window == nullptr) program_window = this;
}

TfrmClublog::~TfrmClublog() {
  if (program_window == this) program_window = nullptr;
}

TfrmClublog* TfrmClublog::Program() { return program_window; }

QPlainTextEdit* TfrmClublog::Memo1() const { return ui_->Memo1; }

void TfrmClublog::ReplaceText(const QString& text) { ui_->Memo1->setPlainText(text); }

void TfrmClublog::AddLines(const QStringList& lines) {
  ui_->Memo1->appendPlainText(lines.join(u'\n'));
}

void TfrmClublog::Show() { show(); }

void TfrmClublog::FormShow() {
  const QRect work_area = PrimaryWorkArea();
  if (work_area.isEmpty()) return;
  const QSize outer = frameGeometry().size();
  move(work_area.x() + work_area.width() - outer.width(),
       work_area.y() + work_area.height() - outer.height());
}

void TfrmClublog::setVisible(bool visible) {
  const bool turning_shown = visible && !isVisible();
  if (turning_shown) FormShow();
  QWidget::setVisible(visible);
  // The frame's size is known only once the window exists: place it again
  // with the frame.
  if (turning_shown) FormShow();
}
