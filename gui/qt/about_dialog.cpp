// The About box's widgets and commands.
#include "gui/qt/about_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QUrl>
#include <algorithm>

#include "gui/about_texts.h"
#include "gui/environment_report.h"
#include "gui/qt/dialog_units.h"
#include "gui/qt/qt_text.h"
#include "gui/qt/resources.h"
#include "gui/qt/screen_facts.h"
#include "gui/qt/tooltips.h"
#include "platform/program.h"
#include "platform/system_facts.h"

namespace sorrel::qt {
namespace {

namespace ids = about_ids;

constexpr int kWidth = 239;
constexpr int kHeight = 261;
constexpr int kIconPixels = 32;

struct AboutControl {
  int id;
  DluRect rect;
  const TextPair* caption;  // buttons only
};

// Template order, which is also the tab order.
constexpr AboutControl kControls[] = {
    {ids::kContribution, {119, 137, 110, 14}, &about_texts::kContribution},
    {ids::kDescription, {7, 156, 225, 80}, nullptr},
    {ids::kClose, {7, 240, 50, 14}, &about_texts::kClose},
    {ids::kEnvironment, {60, 240, 172, 14}, &about_texts::kEnvironment},
    {ids::kIcon, {7, 7, 32, 32}, nullptr},
    {ids::kVersion, {35, 7, 197, 37}, nullptr},
    {ids::kLinks, {7, 46, 225, 90}, nullptr},
    {ids::kFeedback, {7, 137, 110, 14}, &about_texts::kFeedback},
};

// A read-only edit as the platform's dialogs treat one: reached with Tab or
// Shift+Tab it selects its whole text, which shows where the focus is, and
// when the focus moves on within the window the selection goes; with
// select_on_ctrl_a, Ctrl+A selects it all too.
class ReadOnlyEditKeys : public QObject {
 public:
  ReadOnlyEditKeys(QPlainTextEdit* edit, bool select_on_ctrl_a)
      : QObject(edit), select_on_ctrl_a_(select_on_ctrl_a) {
    edit->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* edit = static_cast<QPlainTextEdit*>(watched);
    if (event->type() == QEvent::FocusIn) {
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) {
        // Selected from the end back to the start, so the text stays at its top.
        QTextCursor cursor(edit->document());
        cursor.movePosition(QTextCursor::End);
        cursor.movePosition(QTextCursor::Start, QTextCursor::KeepAnchor);
        edit->setTextCursor(cursor);
      }
      return false;
    }
    if (event->type() == QEvent::FocusOut) {
      // A context menu or another window leaves the selection to copy.
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
        QTextCursor cursor = edit->textCursor();
        cursor.clearSelection();
        edit->setTextCursor(cursor);
      }
      return false;
    }
    if (event->type() != QEvent::KeyPress || !select_on_ctrl_a_) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_A || key->modifiers() != Qt::ControlModifier) return false;
    edit->selectAll();
    return true;
  }

 private:
  bool select_on_ctrl_a_;
};

// The links as the platform's link control shows them: Tab brings the focus
// onto the first link (Shift+Tab onto the last), the next Tab to the next
// link and then on; while no link holds the focus, a frame shows it.
class LinkLabel : public QLabel {
 public:
  using QLabel::QLabel;

 protected:
  void focusInEvent(QFocusEvent* event) override {
    QLabel::focusInEvent(event);
    const bool forward = event->reason() == Qt::TabFocusReason;
    // Without a link to take it, the focus would move on to the next stop.
    if ((forward || event->reason() == Qt::BacktabFocusReason) && text().contains("<a ")) {
      QLabel::focusNextPrevChild(forward);
    }
  }
  void paintEvent(QPaintEvent* event) override {
    QLabel::paintEvent(event);
    if (!hasFocus() || hasSelectedText()) return;  // a focused link is its own frame
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
  }
};

// Qt shows text with CR LF line ends with a blank line between the lines.
QString WithLineFeeds(std::u16string_view text) {
  QString lines = ToQString(text);
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return lines;
}

// The link markup as rich text for a label: the links' ids become their
// targets, everything else is shown as it is, blanks and line ends kept.
QString LinksAsHtml(std::u16string_view markup) {
  static const QRegularExpression link(QStringLiteral("<a id=\"([^\"]*)\">(.*?)</a>"));
  const QString text = ToQString(markup);
  QString html = QStringLiteral("<div style=\"white-space:pre-wrap\">");
  qsizetype at = 0;
  for (auto it = link.globalMatch(text); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    html += text.mid(at, match.capturedStart() - at).toHtmlEscaped();
    html += QStringLiteral("<a href=\"%1\">%2</a>")
                .arg(match.captured(1).toHtmlEscaped(), match.captured(2).toHtmlEscaped());
    at = match.capturedEnd();
  }
  html += text.mid(at).toHtmlEscaped() + QStringLiteral("</div>");
  html.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
  return html;
}

QPlainTextEdit* ReadOnlyEdit(QWidget* parent) {
  auto* edit = new QPlainTextEdit(parent);
  edit->setReadOnly(true);
  edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  return edit;
}

}  // namespace

AboutDialog::AboutDialog(AboutBoxInfo info, const std::string& program_file, QWidget* owner)
    : QDialog(owner), info_(std::move(info)) {
  setWindowTitle(ToQString(about_texts::kTitle.In(info_.language)));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  Build();
  Place();
  Fill(program_file);
  ApplyToolTips(AboutBoxToolTips(info_.language), [this](int id) { return Control(id); });
  unlock_.setSingleShot(true);
  unlock_.setInterval(kLockMilliseconds);
  connect(&unlock_, &QTimer::timeout, this, [this] { Lock(false); });
  temp_file_ = AboutTempFilePath(QDir::tempPath().toStdString());
}

AboutDialog::~AboutDialog() {
  QFile::remove(QString::fromStdString(temp_file_));
}

QWidget* AboutDialog::Control(int id) const {
  const auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

void AboutDialog::Build() {
  for (const AboutControl& control : kControls) {
    QWidget* widget = nullptr;
    if (control.caption != nullptr) {
      auto* button = new QPushButton(ToQString(control.caption->In(info_.language)), this);
      // As in the platform's dialogs, the button with the focus is the
      // default one (Enter presses it) and shows it; otherwise Close is.
      button->setAutoDefault(true);
      button->setDefault(control.id == ids::kClose);
      widget = button;
    } else if (control.id == ids::kDescription) {
      auto* edit = ReadOnlyEdit(this);
      edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      new ReadOnlyEditKeys(edit, /*select_on_ctrl_a=*/true);
      widget = edit;
    } else if (control.id == ids::kVersion) {
      auto* edit = ReadOnlyEdit(this);
      edit->setFrameShape(QFrame::NoFrame);
      edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      edit->viewport()->setAutoFillBackground(false);
      new ReadOnlyEditKeys(edit, /*select_on_ctrl_a=*/false);
      widget = edit;
    } else if (control.id == ids::kLinks) {
      auto* label = new LinkLabel(this);
      label->setTextFormat(Qt::RichText);
      label->setWordWrap(true);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
      label->setFocusPolicy(Qt::StrongFocus);
      connect(label, &QLabel::linkActivated, this,
              [this](const QString& target) { Open(FromQString(target), /*from_link=*/true); });
      widget = label;
    } else {
      auto* icon = new QLabel(this);
      icon->setPixmap(ProgramIcon().pixmap(kIconPixels, kIconPixels));
      widget = icon;
    }
    controls_[control.id] = widget;
  }
  connect(static_cast<QPushButton*>(Control(ids::kClose)), &QPushButton::clicked, this,
          &QDialog::reject);
  connect(static_cast<QPushButton*>(Control(ids::kEnvironment)), &QPushButton::clicked, this,
          [this] { ShowEnvironmentReport(); });
  connect(static_cast<QPushButton*>(Control(ids::kContribution)), &QPushButton::clicked, this,
          [this] { Open(info_.contribution.value_or(u""), /*from_link=*/false); });
  connect(static_cast<QPushButton*>(Control(ids::kFeedback)), &QPushButton::clicked, this,
          [this] { Open(info_.feedback.value_or(u""), /*from_link=*/false); });
}

void AboutDialog::Place() {
  // The font's own base, widened until every button's caption fits.
  DluBase base = FontBase(font());
  for (const AboutControl& control : kControls) {
    if (control.caption == nullptr) continue;
    const QSize hint = Control(control.id)->sizeHint();
    base.x = std::max(base.x, BaseFor(hint.width(), control.rect.w, 4));
  }
  for (const AboutControl& control : kControls) {
    const QRect rect = ToPixels(base, control.rect);
    if (control.id == ids::kIcon) {
      Control(control.id)->setGeometry(QRect(rect.topLeft(), QSize(kIconPixels, kIconPixels)));
    } else {
      Control(control.id)->setGeometry(rect);
    }
  }
  setFixedSize(ToPixels(base, kWidth, kHeight));
}

void AboutDialog::Fill(const std::string& program_file) {
  auto* version = static_cast<QPlainTextEdit*>(Control(ids::kVersion));
  auto* links = static_cast<QLabel*>(Control(ids::kLinks));
  if (const std::optional<VersionStrings> block = ReadVersionBlock(program_file)) {
    version->setPlainText(
        WithLineFeeds(VersionText(info_, *block, ProcessorTag(ProgramMachine()))));
    links->setText(LinksAsHtml(LinkText(info_)));
  } else {
    version->setPlainText(ToQString(about_texts::kNull));
    links->setText(ToQString(about_texts::kNull));
  }
  static_cast<QPlainTextEdit*>(Control(ids::kDescription))
      ->setPlainText(WithLineFeeds(info_.description));
  Control(ids::kFeedback)->setVisible(info_.feedback.has_value());
  Control(ids::kContribution)->setVisible(info_.contribution.has_value());
  // The first tab stop starts with the focus; without Contribution, Close.
  Control(info_.contribution ? ids::kContribution : ids::kClose)->setFocus();
}

void AboutDialog::Lock(bool locked) {
  for (int id : kLockedButtons) Control(id)->setEnabled(!locked);
}

void AboutDialog::Open(const std::u16string& target, bool from_link) {
  Lock(true);
  unlock_.start();
  if (QDesktopServices::openUrl(QUrl::fromUserInput(ToQString(target)))) return;
  QMessageBox::critical(this, ToQString(info_.title),
                        ToQString(CannotOpenText(info_.language, target, from_link)));
}

std::u16string AboutDialog::Report() const {
  EnvironmentFacts facts;
  facts.system = platform::ReadSystemFacts();
  AddScreenFacts(&facts);
  const QString version = static_cast<QPlainTextEdit*>(Control(ids::kVersion))->toPlainText();
  return ReportWithClient(BuildEnvironmentReport(facts), FromQString(version));
}

void AboutDialog::ShowEnvironmentReport() {
  const std::u16string report = Report();
  const QString caption = ToQString(about_texts::kReportCaption.In(info_.language));
  QMessageBox confirm(QMessageBox::NoIcon, caption,
                      WithLineFeeds(ReportConfirmation(info_.language, report)),
                      QMessageBox::Ok | QMessageBox::Cancel, this);
  confirm.setDefaultButton(QMessageBox::Ok);
  if (confirm.exec() != QMessageBox::Ok) return;
  CopyToClipboard(WithLineFeeds(report));
}

void AboutDialog::CopyToClipboard(const QString& text) {
  const QString caption = ToQString(about_texts::kReportCaption.In(info_.language));
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) {
    QMessageBox::critical(this, caption,
                          ToQString(about_texts::kCannotOpenClipboard.In(info_.language)));
    return;
  }
  clipboard->setText(text);
  // Reading it back is the one way Qt lets a program see that another
  // program did not take the text.
  const bool copied = clipboard->text() == text;
  QMessageBox::information(
      this, caption,
      ToQString((copied ? about_texts::kCopied : about_texts::kClipboardError).In(info_.language)));
}

void ShowAboutBox(QWidget* owner, UiLanguage language) {
  AboutDialog box(MakeAboutBoxInfo(language), platform::ProgramPath(), owner);
  box.exec();
}

}  // namespace sorrel::qt
