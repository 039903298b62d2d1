// The print dialog on Qt's offscreen platform, over the sample PPD and the
// panel from the built bundle: its summary and status line follow the
// panel, its presets are listed, chosen, saved and deleted, Print to a PPD
// file or Cancel save nothing, and in German it shows no English text of
// its own or of the PPD's.
#include "zarvik-print/print_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTimer>
#include <QTranslator>
#include <QXmlStreamReader>

#include "support/german_locale.h"
#include "support/ppd_files.h"
#include "zarvik-print/language.h"
#include "zarvik-print/print_job.h"
#include "zarvik_print_runner.h"

namespace zarvik::print::testing {
namespace {

using Options = std::map<std::string, std::string>;

const std::string kPresets = R"({
    "format": "zarvik-print-settings",
    "version": 1,
    "printer": "zarvik-engraver",
    "presets": {
        "Birch 3 mm": {
            "options": { "JobType": "Vector", "vectorPower": "Custom.65" },
            "printSettings": { "org.zarvikpde.print.pde.zarvikKind.vectorPower": "65" }
        },
        "Alder": {
            "options": { "JobType": "Raster", "rasterSpeed": "Custom.500" },
            "printSettings": {}
        }
    }
})";

// Runs what the dialog queued: it refreshes once the panel's action is over.
void settle() { QCoreApplication::sendPostedEvents(); }

// A person choosing `choice` in a pop-up of the panel.
void choose(QComboBox& popup, const char* choice) {
  int index = popup.findData(QByteArray(choice));
  ASSERT_GE(index, 0) << choice;
  popup.setCurrentIndex(index);
  emit popup.activated(index);
  settle();
}

QPushButton* findButton(QWidget& root, const QString& text) {
  for (QPushButton* button : root.findChildren<QPushButton*>()) {
    if (button->text() == text) return button;
  }
  return nullptr;
}

QStringList itemsOf(const QComboBox& combo) {
  QStringList items;
  for (int i = 0; i < combo.count(); ++i) items << combo.itemText(i);
  return items;
}

class PrintDialogTest : public ::testing::Test {
 protected:
  void open(const std::string& settingsText = {}, const std::string& ppd = zarvik::testing::samplePpdPath().string()) {
    if (!settingsText.empty()) writeFile(settingsFile(), settingsText);
    CommandLine line;
    line.ppd = ppd;
    line.settingsFile = settingsFile().string();
    std::vector<std::string> warnings;
    auto opened = PrintJob::open(line, warnings);
    if (auto* failure = std::get_if<PrintJob::Failure>(&opened)) {
      FAIL() << "no job: " << failure->message;
    }
    job = std::move(std::get<std::unique_ptr<PrintJob>>(opened));
    EXPECT_EQ(warnings, std::vector<std::string>{});
  }

  fs::path settingsFile() const { return scratch.dir() / "settings.json"; }
  QJsonObject saved() const {
    return QJsonDocument::fromJson(QByteArray::fromStdString(readFile(settingsFile()))).object();
  }

  // Only for its temporary folder.
  ZarvikPrintRunner scratch;
  std::unique_ptr<PrintJob> job;
};

TEST_F(PrintDialogTest, TheSummaryAndTheStatusLineFollowThePanel) {
  ASSERT_NO_FATAL_FAILURE(open());
  QPointer<QWidget> view = job->session().view();
  ASSERT_TRUE(view);
  {
    PrintDialog dialog(*job, {});
    EXPECT_EQ(dialog.windowTitle(), "Print to zarvik-engraver");
    auto* printer = dialog.findChild<QLabel*>("printer");
    auto* summary = dialog.findChild<QLabel*>("summary");
    auto* status = dialog.findChild<QLabel*>("status");
    auto* area = dialog.findChild<QScrollArea*>();
    ASSERT_TRUE(printer && summary && status && area);
    EXPECT_EQ(printer->text(), "zarvik-engraver (PPD file, nothing is printed)");
    EXPECT_EQ(area->widget(), view.data());
    EXPECT_EQ(summary->text(), "Zarvik Settings: Raster and Vector");
    EXPECT_EQ(status->text(), "");

    // Each request the panel makes reaches the dialog, with no refresh asked.
    EXPECT_EQ(job->session().set("JobType", "Vector").kind, SetOutcome::kDone);
    settle();
    EXPECT_EQ(summary->text(), "Zarvik Settings: Vector Only");
    EXPECT_EQ(job->session().set("rasterSpeed", "500").kind, SetOutcome::kRefused);
    settle();
    EXPECT_EQ(status->text(), "Raster Speed must be from 1 to 100; 500 is outside that range.");
    EXPECT_EQ(job->session().set("rasterSpeed", "40").kind, SetOutcome::kDone);
    settle();
    EXPECT_EQ(status->text(), "");
    EXPECT_EQ(job->jobOptions().at("rasterSpeed"), "Custom.40");
  }
  // The panel's view outlives the dialog, for the next one to show it.
  ASSERT_TRUE(view) << "the dialog deleted the panel's view";
  PrintDialog again(*job, {});
  EXPECT_EQ(again.findChild<QScrollArea*>()->widget(), view.data());
  EXPECT_EQ(again.findChild<QLabel*>("summary")->text(), "Zarvik Settings: Vector Only");
  // A request after the first dialog went reaches only the second.
  EXPECT_EQ(job->session().set("JobType", "Raster").kind, SetOutcome::kDone);
  settle();
  EXPECT_EQ(again.findChild<QLabel*>("summary")->text(), "Zarvik Settings: Raster Only");
}

TEST_F(PrintDialogTest, ARefusalShowsUntilThePersonMakesAChangeThePrinterTakes) {
  // The sample with a conflict the panel does not prevent by itself.
  const fs::path ppd = scratch.dir() / "centered-raster-only.ppd";
  writeFile(ppd, zarvik::testing::sampleWith("*UIConstraints: *vectorGrid enabled *autoFocus disabled",
                                             "*UIConstraints: *vectorGrid enabled *autoFocus disabled\n"
                                             "*UIConstraints: *CenterEngraving Center *JobType Vector\n"
                                             "*UIConstraints: *JobType Vector *CenterEngraving Center"));
  ASSERT_NO_FATAL_FAILURE(open({}, ppd.string()));
  PrintDialog dialog(*job, {});
  auto* summary = dialog.findChild<QLabel*>("summary");
  auto* status = dialog.findChild<QLabel*>("status");
  auto* jobType = job->session().view()->findChild<QComboBox*>("jobTypePopup");
  auto* centering = job->session().view()->findChild<QComboBox*>("centerEngravingPopup");
  ASSERT_TRUE(summary && status && jobType && centering);

  ASSERT_NO_FATAL_FAILURE(choose(*centering, "Center"));
  ASSERT_NO_FATAL_FAILURE(choose(*jobType, "Vector"));
  EXPECT_EQ(job->jobOptions().at("JobType"), "Combined");
  EXPECT_EQ(status->text(), "Job Type \"Vector Only\" conflicts with Center Engraving \"Center on the Bed\".");
  EXPECT_EQ(summary->text(), "Zarvik Settings: Raster and Vector");

  // The summary shows the choice the action made, not the one before it.
  ASSERT_NO_FATAL_FAILURE(choose(*jobType, "Raster"));
  EXPECT_EQ(summary->text(), "Zarvik Settings: Raster Only");
  EXPECT_EQ(status->text(), "") << "the refusal outlived a change the printer took";
}

TEST_F(PrintDialogTest, PresetsAreListedChosenSavedAndDeleted) {
  ASSERT_NO_FATAL_FAILURE(open(kPresets));
  PrintDialog dialog(*job, {});
  auto* presets = dialog.findChild<QComboBox*>("presets");
  auto* summary = dialog.findChild<QLabel*>("summary");
  auto* status = dialog.findChild<QLabel*>("status");
  QPushButton* save = findButton(dialog, "Save As…");
  QPushButton* remove = findButton(dialog, "Delete");
  ASSERT_TRUE(presets && summary && status && save && remove);
  EXPECT_EQ(itemsOf(*presets), (QStringList{"(choose a preset)", "Alder", "Birch 3 mm"}));

  // Choosing a preset marks its options and restores the panel from them.
  presets->setCurrentIndex(2);
  emit presets->activated(2);
  settle();
  EXPECT_EQ(job->jobOptions().at("JobType"), "Vector");
  EXPECT_EQ(job->jobOptions().at("vectorPower"), "Custom.65");
  EXPECT_EQ(summary->text(), "Zarvik Settings: Vector Only");
  EXPECT_EQ(status->text(), "");
  QWidget* view = job->session().view();
  ASSERT_TRUE(view);
  auto* jobType = view->findChild<QComboBox*>("jobTypePopup");
  auto* vectorPower = view->findChild<QLineEdit*>("vPowerTextBox");
  ASSERT_TRUE(jobType && vectorPower);
  EXPECT_EQ(jobType->currentData().toByteArray(), "Vector");
  EXPECT_EQ(vectorPower->text(), "65");

  // A preset the printer cannot take whole says so, and the rest applies.
  presets->setCurrentIndex(1);
  emit presets->activated(1);
  settle();
  EXPECT_EQ(job->jobOptions().at("JobType"), "Raster");
  EXPECT_EQ(status->text(),
            "Skipped the stored option rasterSpeed=Custom.500: Raster Speed must be from 1 to 100; 500 is outside "
            "that range.");

  // Save As asks for a name.
  EXPECT_EQ(job->session().set("rasterPower", "70").kind, SetOutcome::kDone);
  QTimer::singleShot(0, [] {
    auto* ask = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
    ASSERT_TRUE(ask) << "Save As asked for no name";
    ask->setTextValue("  Oak  ");
    ask->accept();
  });
  save->click();
  EXPECT_EQ(status->text(), "Saved the preset \"Oak\".");
  EXPECT_EQ(itemsOf(*presets), (QStringList{"(choose a preset)", "Alder", "Birch 3 mm", "Oak"}));
  QJsonObject oak = saved().value("presets").toObject().value("Oak").toObject();
  EXPECT_EQ(textMap(oak.value("options")), job->jobOptions());
  EXPECT_EQ(textMap(oak.value("options")).at("rasterPower"), "Custom.70");

  // Delete takes the chosen one, and asks for one first.
  presets->setCurrentIndex(1);
  remove->click();
  EXPECT_EQ(status->text(), "Deleted the preset \"Alder\".");
  EXPECT_EQ(itemsOf(*presets), (QStringList{"(choose a preset)", "Birch 3 mm", "Oak"}));
  EXPECT_EQ(saved().value("presets").toObject().keys(), (QStringList{"Birch 3 mm", "Oak"}));
  presets->setCurrentIndex(0);
  remove->click();
  EXPECT_EQ(status->text(), "Choose the preset to delete first.");
  EXPECT_EQ(job->presetNames(), (std::vector<std::string>{"Birch 3 mm", "Oak"}));
  EXPECT_FALSE(saved().contains("lastUsed")) << "presets are no print";
}

TEST_F(PrintDialogTest, PrintToAPpdFileAndCancelSaveNothing) {
  ASSERT_NO_FATAL_FAILURE(open());
  const fs::path document = scratch.dir() / "page.ras";
  writeFile(document, "not sent");
  {
    PrintDialog dialog(*job, {document.string()});
    dialog.show();
    EXPECT_EQ(job->session().set("JobType", "Vector").kind, SetOutcome::kDone);
    QPushButton* print = findButton(dialog, "Print");
    ASSERT_TRUE(print);
    print->click();
    EXPECT_EQ(dialog.findChild<QLabel*>("status")->text(), "a PPD file is no printer: print to a queue with --printer");
    EXPECT_EQ(dialog.printStatus(), kExitUsage);
    EXPECT_TRUE(dialog.isVisible()) << "a Print that failed closed the dialog";

    QPushButton* cancel = findButton(dialog, "Cancel");
    ASSERT_TRUE(cancel);
    cancel->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
  }
  {
    PrintDialog dialog(*job, {(scratch.dir() / "gone.ras").string()});
    findButton(dialog, "Print")->click();
    EXPECT_EQ(dialog.findChild<QLabel*>("status")->text(),
              QString::fromStdString("there is no document " + (scratch.dir() / "gone.ras").string()));
  }
  EXPECT_FALSE(fs::exists(settingsFile())) << "settings were saved without a print";
}

// The English texts of the dialog and the host, as the German table
// lists them, cut at their placeholders: what none of the dialog's texts
// may hold, as words, in German. Texts the same in both languages are left
// out.
std::vector<QRegularExpression> ourEnglishTexts() {
  QFile file(QString::fromUtf8(ZARVIK_SOURCE_DIR) + "/zarvik-print/translations/zarvik-print_de.ts");
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&file);
  std::vector<QRegularExpression> pieces;
  QString source;
  while (!xml.atEnd()) {
    if (!xml.readNextStartElement()) continue;
    if (xml.name() == u"source") source = xml.readElementText();
    if (xml.name() == u"translation") {
      QString translation = xml.readElementText();
      if (translation == source) continue;
      for (const QString& piece : source.split(QRegularExpression("%[1-9]"))) {
        if (piece.trimmed().size() >= 4) {
          pieces.emplace_back("(?<!\\w)" + QRegularExpression::escape(piece.trimmed()) + "(?!\\w)");
        }
      }
    }
  }
  EXPECT_GT(pieces.size(), 50u);
  return pieces;
}

// Everything a person sees or hears of the dialog: titles, labels, buttons,
// pop-up items, tips and accessible names.
QStringList textsOf(QWidget& dialog) {
  QStringList texts{dialog.windowTitle()};
  for (QWidget* widget : dialog.findChildren<QWidget*>()) {
    texts << widget->toolTip() << widget->accessibleName();
    if (auto* label = qobject_cast<QLabel*>(widget)) texts << label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) texts << button->text();
    if (auto* box = qobject_cast<QGroupBox*>(widget)) texts << box->title();
    if (auto* combo = qobject_cast<QComboBox*>(widget)) texts << itemsOf(*combo);
  }
  texts.removeAll(QString());
  return texts;
}

TEST_F(PrintDialogTest, InGermanTheDialogShowsNoEnglishTextOfOursNorOfThePpd) {
  zarvik::testing::GermanLocale german;
  ASSERT_EQ(german.failure(), "");
  const QLocale previous;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  installTranslations(QLocale());
  ASSERT_NO_FATAL_FAILURE(open(kPresets));
  {
    PrintDialog dialog(*job, {});
    dialog.show();
    // A refusal and a preset that does not fit put the host's sentences
    // into the status line.
    EXPECT_EQ(job->session().set("rasterSpeed", "500").kind, SetOutcome::kRefused);
    settle();
    auto* status = dialog.findChild<QLabel*>("status");
    ASSERT_TRUE(status);
    EXPECT_EQ(status->text(), "Rastergeschwindigkeit muss im Bereich 1 bis 100 liegen; 500 liegt außerhalb.");
    const QStringList withRefusal = textsOf(dialog);
    auto* presets = dialog.findChild<QComboBox*>("presets");
    presets->setCurrentIndex(1);
    emit presets->activated(1);
    settle();
    EXPECT_TRUE(status->text().startsWith("Die gespeicherte Option rasterSpeed=Custom.500 wurde übergangen: "))
        << status->text().toStdString();

    QStringList texts = withRefusal + textsOf(dialog);
    for (const QRegularExpression& english : ourEnglishTexts()) {
      for (const QString& text : texts) {
        EXPECT_FALSE(text.contains(english)) << text.toStdString() << " holds " << english.pattern().toStdString();
      }
    }
    // The PPD's own texts, in its German translations.
    for (const char* english : {"Raster and Vector", "Top to Bottom", "Shortest Travel", "Not Set"}) {
      for (const QString& text : texts) EXPECT_FALSE(text.contains(english)) << text.toStdString();
    }
    EXPECT_TRUE(texts.contains("Raster und Vektor"));
    EXPECT_TRUE(texts.contains("Drucken"));
    // Keywords, and so the job, stay as they are.
    EXPECT_EQ(job->jobOptions().at("JobType"), "Raster");
  }
  for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
    QCoreApplication::removeTranslator(translator);
    delete translator;
  }
  QLocale::setDefault(previous);
}

}  // namespace
}  // namespace zarvik::print::testing
