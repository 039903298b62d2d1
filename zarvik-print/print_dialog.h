// The print dialog: the printer, the presets, the engraver's panel, the
// job summary, a status line that says why the printer refused a setting,
// and Help, Cancel and Print.
#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "zarvik-print/print_job.h"

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;

namespace zarvik::print {

class PrintDialog final : public QDialog {
 public:
  // `job` is borrowed and outlives the dialog; `files` are what Print sends.
  PrintDialog(PrintJob& job, std::vector<std::string> files, QWidget* parent = nullptr);
  ~PrintDialog() override;

  // Shows the summary as it is now, and the host's last refusal when there
  // was one since the last refresh.
  void refresh();
  // The exit status of the last Print, and its failure's sentence. A job
  // sent whose settings were not saved closes the dialog all the same.
  int printStatus() const { return printStatus_; }
  const std::string& printMessage() const { return printMessage_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void fillPresets();
  // Shows the job's page size and copies, after a preset changed them.
  void showMediaAndCopies();
  void chooseMedia(int index);
  void choosePreset(int index);
  void savePreset();
  void deletePreset();
  // Says what a preset change did and offers to undo it: `before` is what
  // the preset `name` held (nothing when there was none).
  void saidOfPreset(const host::Status& done, const QString& sentence, const std::string& name,
                    std::optional<host::SavedSettings> before);
  void undo();
  void showHelp();
  void print();
  void say(const QString& text, bool problem);

  PrintJob& job_;
  std::vector<std::string> files_;
  QComboBox* presets_ = nullptr;
  QComboBox* media_ = nullptr;
  QSpinBox* copies_ = nullptr;
  QLabel* summary_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* undo_ = nullptr;
  std::string undoName_;  // the preset Undo puts back, as it was
  std::optional<host::SavedSettings> undoSettings_;
  QScrollArea* panelArea_ = nullptr;
  int printStatus_ = kExitDone;
  std::string printMessage_;
  int refusalsShown_ = 0;  // the host's count of refusals at the last refresh
  bool refreshQueued_ = false;
};

}  // namespace zarvik::print
