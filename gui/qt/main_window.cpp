// The main dialog's window.
#include "gui/qt/main_window.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QShortcut>
#include <QUrl>

#include "base/main_dialog_ids.h"
#include "engine/options.h"
#include "gui/main_dialog_texts.h"
#include "gui/qt/qt_text.h"
#include "gui/qt/resources.h"
#include "gui/qt/tooltips.h"
#include "gui/tooltips.h"

namespace sorrel::qt {
namespace {

// Qt matches "*.*" only against names with a dot; every name is meant. The
// dialog shows the caption alone.
constexpr char16_t kEveryName[] = u" (*)";

// Where Browse starts: in the folder of the current target when the target
// names one that exists, else in the home folder (never in the program's
// folder, where a relative target would lead).
QString BrowseFolder(const QString& target) {
  std::u16string folder, pattern;
  SplitTargetPath(FromQString(target), &folder, &pattern);
  const QString path = ToQString(folder);
  return QDir::isAbsolutePath(path) && QFileInfo(path).isDir() ? path : QDir::homePath();
}

}  // namespace

MainWindow::MainWindow(ControlStore& store, UiLanguage language, MainDialogModel::Hooks hooks)
    : language_(language),
      title_(ToQString(MainDialogTemplate(language).title)),
      widgets_(MainDialogTemplate(language), this),
      model_(store, language, /*cui_mode=*/false, std::move(hooks)) {
  setWindowTitle(title_);
  setWindowIcon(ProgramIcon());
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setSizeGripEnabled(true);
  setAcceptDrops(true);
  if (auto* banner = widgets_.As<QLabel>(ids::kBanner)) {
    const QPixmap image = FeedbackBanner();
    banner->setPixmap(image);
    banner->resize(image.size());
  }
  binding_ = std::make_unique<ControlBinding>(
      store, widgets_,
      [this](int id, bool selection_changed) { OnCommand(id, selection_changed); });
  auto* help = new QShortcut(QKeySequence::HelpContents, this);
  connect(help, &QShortcut::activated, this, [this] { OnCommand(ids::kHelp, false); });
}

MainWindow::~MainWindow() = default;

void MainWindow::Open(uint64_t tick) {
  ApplyToolTips(MainDialogToolTips(language_), [this](int id) { return widgets_.Control(id); });
  model_.Initialise(tick);
  resize(widgets_.Place());
  resizer_.emplace(size(), std::vector<DialogResizer::Entry>{
                               {widgets_.Control(ids::kTargetPath), Anchor::WidthHeight},
                               {widgets_.Control(ids::kBrowse), Anchor::Right},
                               {widgets_.Control(ids::kReplaceGroup), Anchor::WidthHeight},
                               {widgets_.Control(ids::kBeforeReplace), Anchor::WidthHeight},
                               {widgets_.Control(ids::kAfterReplace), Anchor::WidthHeight},
                           });
  DialogResizer::SetTrackingLimits(this);
  widgets_.Control(ids::kTargetPath)->setFocus();
}

void MainWindow::ShowProgress(uint32_t files) {
  if (progress_ == files) return;
  progress_ = files;
  setWindowTitle(title_ + QStringLiteral(" - ") + QString::number(files));
}

void MainWindow::ClearProgress() {
  progress_.reset();
  setWindowTitle(title_);
}

void MainWindow::OnCommand(int id, bool selection_changed) {
  if (id == ids::kBrowse) {
    Browse();
    return;
  }
  model_.OnCommand(id, selection_changed);
  EndIfEnded();
}

void MainWindow::EndSession() {
  model_.OnEndSession(true);
  EndIfEnded();
}

void MainWindow::EndIfEnded() {
  if (model_.ended() && !model_.running()) done(model_.result());
}

void MainWindow::reject() {
  OnCommand(ids::kClose, false);
}

void MainWindow::Browse() {
  const QString filter =
      ToQString(main_dialog_texts::kBrowseFilter.In(language_)) + QString::fromUtf16(kEveryName);
  const QString target = widgets_.As<QLineEdit>(ids::kTargetPath)->text();
  const QString path = QFileDialog::getOpenFileName(
      this, ToQString(main_dialog_texts::kBrowseTitle.In(language_)), BrowseFolder(target), filter,
      nullptr, QFileDialog::HideNameFilterDetails);
  if (path.isEmpty() || !model_.SetTargetPath(FromQString(path))) return;
  widgets_.Control(ids::kTargetPath)->setFocus();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (resizer_) resizer_->Layout(size());
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.front().isLocalFile()) return;
  raise();
  activateWindow();
  model_.SetTargetPath(FromQString(urls.front().toLocalFile()));
  event->acceptProposedAction();
}

}  // namespace sorrel::qt
