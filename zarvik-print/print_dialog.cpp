#include "zarvik-print/print_dialog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

#include "host/texts.h"

namespace zarvik::print {
namespace {

// The dialog's own texts, in the person's language with the host's.
QString said(const char* source, std::initializer_list<std::string_view> args = {}) {
  return QString::fromStdString(host::sentence(source, args));
}

}  // namespace

PrintDialog::PrintDialog(PrintJob& job, std::vector<std::string> files, QWidget* parent)
    : QDialog(parent), job_(job), files_(std::move(files)) {
  setWindowTitle(said(QT_TRANSLATE_NOOP("zarvik-print", "Print to %1"), {host::shownText(job.printer())}));

  auto* top = new QFormLayout();
  auto* printer =
      new QLabel(job.isQueue() ? QString::fromStdString(host::shownText(job.printer()))
                               : said(QT_TRANSLATE_NOOP("zarvik-print", "%1 (PPD file, nothing is printed)"),
                                      {host::shownText(job.printer())}));
  // Object names for tests and tools; accessible names, in the person's
  // language, for screen readers.
  printer->setObjectName("printer");
  printer->setAccessibleName(said(QT_TRANSLATE_NOOP("zarvik-print", "Printer")));
  // The page size and the copies, beside the printer: the PPD's sizes,
  // marked through the host as every other choice.
  media_ = new QComboBox();
  media_->setObjectName("media");
  media_->setAccessibleName(said(QT_TRANSLATE_NOOP("zarvik-print", "Media size")));
  for (const auto& [keyword, text] : job.mediaSizes())
    media_->addItem(QString::fromStdString(text), QByteArray::fromStdString(keyword));
  media_->setEnabled(media_->count() > 0);
  copies_ = new QSpinBox();
  copies_->setObjectName("copies");
  copies_->setAccessibleName(said(QT_TRANSLATE_NOOP("zarvik-print", "Copies")));
  copies_->setRange(1, job.maxCopies());
  auto* printerRow = new QHBoxLayout();
  printerRow->addWidget(printer, 1);
  printerRow->addWidget(new QLabel(said(QT_TRANSLATE_NOOP("zarvik-print", "Media size:"))));
  printerRow->addWidget(media_);
  printerRow->addWidget(new QLabel(said(QT_TRANSLATE_NOOP("zarvik-print", "Copies:"))));
  printerRow->addWidget(copies_);
  top->addRow(said(QT_TRANSLATE_NOOP("zarvik-print", "Printer:")), printerRow);

  auto* presetRow = new QHBoxLayout();
  presets_ = new QComboBox();
  presets_->setObjectName("presets");
  presets_->setAccessibleName(said(QT_TRANSLATE_NOOP("zarvik-print", "Presets")));
  presets_->setToolTip(said(QT_TRANSLATE_NOOP("zarvik-print", "Settings saved under a name; choose one to use it.")));
  // A long name is elided, in the box and in its list, never widening the
  // dialog past the screen.
  presets_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  presets_->setMinimumContentsLength(24);
  presets_->view()->setTextElideMode(Qt::ElideMiddle);
  auto* save = new QPushButton(said(QT_TRANSLATE_NOOP("zarvik-print", "Save As…")));
  auto* remove = new QPushButton(said(QT_TRANSLATE_NOOP("zarvik-print", "Delete")));
  presetRow->addWidget(presets_, 1);
  presetRow->addWidget(save);
  presetRow->addWidget(remove);
  top->addRow(said(QT_TRANSLATE_NOOP("zarvik-print", "Presets:")), presetRow);

  panelArea_ = new QScrollArea();
  panelArea_->setWidgetResizable(true);
  panelArea_->setFrameShape(QFrame::NoFrame);
  if (QWidget* view = job.session().view()) {
    panelArea_->setWidget(view);
    // Room for the whole panel; only a small screen makes it scroll.
    panelArea_->setMinimumSize(view->sizeHint().boundedTo(QSize(1200, 900)));
  } else {
    auto* missing = new QLabel(said(QT_TRANSLATE_NOOP("zarvik-print", "The engraver's panel could not be loaded.")));
    // No panel, no margins of its own: the text keeps the dialog's.
    missing->setMargin(style()->pixelMetric(QStyle::PM_LayoutLeftMargin));
    panelArea_->setWidget(missing);
  }

  summary_ = new QLabel();
  summary_->setObjectName("summary");
  summary_->setAccessibleName(said(QT_TRANSLATE_NOOP("zarvik-print", "Summary")));
  // Selectable by mouse once the pointer first comes over it: a selectable
  // label lays its text out as a rich-text document, which the dialog would
  // otherwise build, measure and paint at every start for a selection that
  // only a pointer can make.
  summary_->installEventFilter(this);
  status_ = new QLabel();
  status_->setObjectName("status");
  status_->setAccessibleName(said(QT_TRANSLATE_NOOP("zarvik-print", "Status")));
  status_->setWordWrap(true);
  undo_ = new QPushButton(said(QT_TRANSLATE_NOOP("zarvik-print", "Undo")));
  undo_->setObjectName("undo");
  undo_->hide();
  auto* statusRow = new QHBoxLayout();
  statusRow->addWidget(status_, 1);
  statusRow->addWidget(undo_);

  auto* buttons = new QDialogButtonBox();
  // The buttons' texts are the dialog's own, so they follow its language.
  QPushButton* help = buttons->addButton(said(QT_TRANSLATE_NOOP("zarvik-print", "Help")), QDialogButtonBox::HelpRole);
  buttons->addButton(said(QT_TRANSLATE_NOOP("zarvik-print", "Cancel")), QDialogButtonBox::RejectRole);
  QPushButton* printButton =
      buttons->addButton(said(QT_TRANSLATE_NOOP("zarvik-print", "Print")), QDialogButtonBox::AcceptRole);

  auto* layout = new QVBoxLayout(this);
  // The panel's view has margins of its own: the dialog adds none around
  // it, so that its groups line up with the rows above and below, and no
  // strip of pixels is laid out, painted and pictured twice.
  const QMargins margins = layout->contentsMargins();
  const int spacing = layout->spacing();
  layout->setContentsMargins(0, 0, 0, 0);
  // The rows keep the spacing they would have had from the dialog.
  top->setSpacing(spacing);
  statusRow->setSpacing(spacing);
  layout->setSpacing(0);
  top->setContentsMargins(margins.left(), margins.top(), margins.right(), 0);
  layout->addLayout(top);
  layout->addWidget(panelArea_, 1);

  statusRow->setContentsMargins(margins.left(), 0, margins.right(), spacing);
  layout->addLayout(statusRow);
  // The summary, one short line, beside the buttons: no row of its own.
  auto* bottom = new QHBoxLayout();
  bottom->setContentsMargins(margins.left(), 0, margins.right(), margins.bottom());
  bottom->setSpacing(spacing);
  bottom->addWidget(summary_, 1);
  bottom->addWidget(buttons);
  layout->addLayout(bottom);
  // Only a button already in the dialog can be made its default; else the
  // dialog makes the first button it finds, Save As…, the default.
  printButton->setDefault(true);
  // Return in one of the panel's fields finishes its value and goes no
  // further: it must not press Print and send a job as well.
  panelArea_->installEventFilter(this);

  connect(presets_, &QComboBox::activated, this, &PrintDialog::choosePreset);
  connect(save, &QPushButton::clicked, this, &PrintDialog::savePreset);
  connect(remove, &QPushButton::clicked, this, &PrintDialog::deletePreset);
  connect(undo_, &QPushButton::clicked, this, &PrintDialog::undo);
  connect(media_, &QComboBox::activated, this, &PrintDialog::chooseMedia);
  connect(copies_, &QSpinBox::valueChanged, this, [this](int copies) {
    host::Status taken = job_.setCopies(std::to_string(copies));
    if (!taken.ok()) say(QString::fromStdString(taken.message()), true);
  });
  connect(help, &QPushButton::clicked, this, &PrintDialog::showHelp);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(printButton, &QPushButton::clicked, this, &PrintDialog::print);

  // The host tells the dialog of every request the panel makes, so the
  // summary and the status line follow the panel. A request comes before
  // the panel has taken in what it asked for, so the refresh waits until
  // the action that made it is over: one refresh for all its requests.
  job.session().setRequestObserver([this](std::string_view, std::string_view, bool) {
    if (refreshQueued_) return;
    refreshQueued_ = true;
    QMetaObject::invokeMethod(this, &PrintDialog::refresh, Qt::QueuedConnection);
  });

  fillPresets();
  showMediaAndCopies();
  refresh();
  // What the printer refused of the remembered settings or of the panel's
  // own requests as it opened: the person sees it until the next change.
  QStringList warnings;
  for (const std::string& warning : job.warnings()) warnings << QString::fromStdString(warning);
  if (!warnings.isEmpty()) say(warnings.join('\n'), true);
  resize(sizeHint());
}

PrintDialog::~PrintDialog() {
  job_.session().setRequestObserver(nullptr);
  // The panel's view belongs to the panel, not to this dialog.
  if (QWidget* view = job_.session().view(); view && panelArea_->widget() == view) panelArea_->takeWidget();
}

void PrintDialog::refresh() {
  refreshQueued_ = false;
  QStringList lines;
  for (const auto& [title, text] : job_.session().summary()) {
    lines << QString::fromStdString(title) + ": " + QString::fromStdString(text);
  }
  summary_->setText(lines.join('\n'));
  // Only a refusal since the last refresh is news: the host keeps its last
  // sentence after the person has changed the value to one it takes.
  const host::CupsPpdHost& host = job_.session().host();
  if (host.refusals() != refusalsShown_) {
    refusalsShown_ = host.refusals();
    say(QString::fromStdString(host.lastRefusal()), true);
  } else {
    say(QString(), false);
  }
}

void PrintDialog::say(const QString& text, bool problem) {
  undo_->hide();
  // An empty status line takes no row: the dialog grows by one when there
  // is something to say.
  status_->setVisible(!text.isEmpty());
  status_->setText(text);
  status_->setStyleSheet(problem ? "color: #a40000;" : QString());
}

bool PrintDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == summary_ && event->type() == QEvent::Enter) {
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    summary_->removeEventFilter(this);
  }
  if (watched == panelArea_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
  }
  return QDialog::eventFilter(watched, event);
}

void PrintDialog::fillPresets() {
  presets_->clear();
  presets_->addItem(said(QT_TRANSLATE_NOOP("zarvik-print", "(choose a preset)")));
  for (const std::string& name : job_.presetNames()) presets_->addItem(QString::fromStdString(name));
}

void PrintDialog::showMediaAndCopies() {
  QSignalBlocker quietMedia(media_), quietCopies(copies_);
  media_->setCurrentIndex(media_->findData(QByteArray::fromStdString(job_.media())));
  copies_->setValue(job_.copies());
}

void PrintDialog::chooseMedia(int index) {
  host::Status marked = job_.setMedia(media_->itemData(index).toByteArray().toStdString());
  // A size the printer refuses springs back, as a panel control does.
  showMediaAndCopies();
  say(QString::fromStdString(marked.message()), !marked.ok());
  refusalsShown_ = job_.session().host().refusals();  // said now
}

void PrintDialog::choosePreset(int index) {
  if (index <= 0) return;
  host::Status used = job_.usePreset(presets_->itemText(index).toStdString());
  // The panel's restore queued refreshes; they go first, or they would
  // wipe out the warning below.
  QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
  showMediaAndCopies();
  refresh();
  if (!used.ok()) say(QString::fromStdString(used.message()), true);
}

void PrintDialog::savePreset() {
  bool ok = false;
  QString name = QInputDialog::getText(this, said(QT_TRANSLATE_NOOP("zarvik-print", "Save Preset")),
                                       said(QT_TRANSLATE_NOOP("zarvik-print", "Name of the preset:")),
                                       QLineEdit::Normal, QString(), &ok);
  if (!ok || name.trimmed().isEmpty()) return;
  const std::string chosen = name.trimmed().toStdString();
  std::optional<host::SavedSettings> before = job_.preset(chosen);
  host::Status saved = job_.savePreset(chosen);
  fillPresets();
  saidOfPreset(saved,
               said(before ? QT_TRANSLATE_NOOP("zarvik-print", "Replaced the preset %1.")
                           : QT_TRANSLATE_NOOP("zarvik-print", "Saved the preset %1."),
                    {host::quotedText(chosen)}),
               chosen, std::move(before));
}

void PrintDialog::saidOfPreset(const host::Status& done, const QString& sentence, const std::string& name,
                               std::optional<host::SavedSettings> before) {
  say(done.ok() ? sentence : QString::fromStdString(done.message()), !done.ok());
  // Replacing or deleting a preset asks nothing, and can be undone.
  if (!done.ok() || !before) return;
  undoName_ = name;
  undoSettings_ = std::move(before);
  undo_->show();
}

void PrintDialog::undo() {
  host::Status undone = job_.restorePreset(undoName_, undoSettings_);
  fillPresets();
  say(undone.ok()
          ? said(QT_TRANSLATE_NOOP("zarvik-print", "The preset %1 is back as it was."), {host::quotedText(undoName_)})
          : QString::fromStdString(undone.message()),
      !undone.ok());
}

void PrintDialog::deletePreset() {
  int index = presets_->currentIndex();
  if (index <= 0) {
    say(said(QT_TRANSLATE_NOOP("zarvik-print", "Choose the preset to delete first.")), true);
    return;
  }
  const std::string name = presets_->itemText(index).toStdString();
  std::optional<host::SavedSettings> before = job_.preset(name);
  host::Status deleted = job_.deletePreset(name);
  fillPresets();
  saidOfPreset(deleted, said(QT_TRANSLATE_NOOP("zarvik-print", "Deleted the preset %1."), {host::quotedText(name)}),
               name, std::move(before));
}

void PrintDialog::showHelp() {
  // The panel opens its own help book when it has one.
  if (job_.session().showHelp()) {
    QMessageBox::information(
        this, said(QT_TRANSLATE_NOOP("zarvik-print", "Help")),
        said(QT_TRANSLATE_NOOP("zarvik-print",
                               "Choose the engraver's settings in the panel, then Print. A setting the "
                               "printer cannot take is refused, and the line under the panel says why.")));
  }
}

void PrintDialog::print() {
  std::variant<int, PrintJob::Failure> printed = job_.print(files_);
  if (auto* failure = std::get_if<PrintJob::Failure>(&printed)) {
    printStatus_ = failure->status;
    printMessage_ = failure->message;
    say(QString::fromStdString(failure->message), true);
    // The job went out: a second Print would send it again.
    if (failure->status == kExitNotSaved) accept();
    return;
  }
  printStatus_ = kExitDone;
  printMessage_.clear();
  accept();
}

}  // namespace zarvik::print
