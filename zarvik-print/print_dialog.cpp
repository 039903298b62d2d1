#include "zarvik-print/print_dialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace zarvik::print {

PrintDialog::PrintDialog(PrintJob& job, std::vector<std::string> files, QWidget* parent)
    : QDialog(parent), job_(job), files_(std::move(files)) {
  setWindowTitle(tr("Print to %1").arg(QString::fromStdString(job.printer())));

  auto* top = new QFormLayout();
  auto* printer = new QLabel(QString::fromStdString(job.printer()) +
                             (job.isQueue() ? QString() : tr(" (PPD file, nothing is printed)")));
  printer->setAccessibleName(tr("Printer"));
  top->addRow(tr("Printer:"), printer);

  auto* presetRow = new QHBoxLayout();
  presets_ = new QComboBox();
  presets_->setAccessibleName(tr("Presets"));
  presets_->setToolTip(tr("Settings saved under a name; choose one to use it."));
  auto* save = new QPushButton(tr("Save As…"));
  auto* remove = new QPushButton(tr("Delete"));
  presetRow->addWidget(presets_, 1);
  presetRow->addWidget(save);
  presetRow->addWidget(remove);
  top->addRow(tr("Presets:"), presetRow);

  panelArea_ = new QScrollArea();
  panelArea_->setWidgetResizable(true);
  panelArea_->setFrameShape(QFrame::NoFrame);
  if (QWidget* view = job.session().view()) {
    panelArea_->setWidget(view);
    // Room for the whole panel; only a small screen makes it scroll.
    panelArea_->setMinimumSize(view->sizeHint().boundedTo(QSize(1200, 900)));
  } else {
    panelArea_->setWidget(new QLabel(tr("The engraver's panel could not be loaded.")));
  }

  summary_ = new QLabel();
  summary_->setAccessibleName(tr("Summary"));
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  status_ = new QLabel();
  status_->setAccessibleName(tr("Status"));
  status_->setWordWrap(true);

  auto* buttons = new QDialogButtonBox();
  QPushButton* help = buttons->addButton(QDialogButtonBox::Help);
  buttons->addButton(QDialogButtonBox::Cancel);
  QPushButton* printButton = buttons->addButton(tr("Print"), QDialogButtonBox::AcceptRole);
  printButton->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(panelArea_, 1);
  layout->addWidget(summary_);
  layout->addWidget(status_);
  layout->addWidget(buttons);

  connect(presets_, &QComboBox::activated, this, &PrintDialog::choosePreset);
  connect(save, &QPushButton::clicked, this, &PrintDialog::savePreset);
  connect(remove, &QPushButton::clicked, this, &PrintDialog::deletePreset);
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
  refresh();
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
  status_->setText(text);
  status_->setStyleSheet(problem ? "color: #a40000;" : QString());
}

void PrintDialog::fillPresets() {
  presets_->clear();
  presets_->addItem(tr("(choose a preset)"));
  for (const std::string& name : job_.presetNames()) presets_->addItem(QString::fromStdString(name));
}

void PrintDialog::choosePreset(int index) {
  if (index <= 0) return;
  host::Status used = job_.usePreset(presets_->itemText(index).toStdString());
  // The panel's restore queued refreshes; they go first, or they would
  // wipe out the warning below.
  QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
  refresh();
  if (!used.ok()) say(QString::fromStdString(used.message()), true);
}

void PrintDialog::savePreset() {
  bool ok = false;
  QString name = QInputDialog::getText(this, tr("Save Preset"), tr("Name of the preset:"), QLineEdit::Normal,
                                       QString(), &ok);
  if (!ok || name.trimmed().isEmpty()) return;
  host::Status saved = job_.savePreset(name.trimmed().toStdString());
  fillPresets();
  say(saved.ok() ? tr("Saved the preset \"%1\".").arg(name.trimmed()) : QString::fromStdString(saved.message()),
      !saved.ok());
}

void PrintDialog::deletePreset() {
  int index = presets_->currentIndex();
  if (index <= 0) {
    say(tr("Choose the preset to delete first."), true);
    return;
  }
  QString name = presets_->itemText(index);
  host::Status deleted = job_.deletePreset(name.toStdString());
  fillPresets();
  say(deleted.ok() ? tr("Deleted the preset \"%1\".").arg(name) : QString::fromStdString(deleted.message()),
      !deleted.ok());
}

void PrintDialog::showHelp() {
  // The panel opens its own help book when it has one.
  if (job_.session().showHelp()) {
    QMessageBox::information(this, tr("Help"),
                             tr("Choose the engraver's settings in the panel, then Print. A setting the "
                                "printer cannot take is refused, and the line under the panel says why."));
  }
}

void PrintDialog::print() {
  std::variant<int, PrintJob::Failure> printed = job_.print(files_);
  if (auto* failure = std::get_if<PrintJob::Failure>(&printed)) {
    printStatus_ = failure->status;
    say(QString::fromStdString(failure->message), true);
    return;
  }
  printStatus_ = kExitDone;
  accept();
}

}  // namespace zarvik::print
