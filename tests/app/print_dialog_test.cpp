// The print dialog in German on Qt's offscreen platform, over the sample PPD
// and the panel from the built bundle: the status line says why the printer
// refused until it takes a change, presets are chosen, saved and deleted,
// Print to a PPD file sends and saves nothing, and no English text of ours
// or of the PPD shows at any step.
#include "zarvik-print/print_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QInputDialog>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QXmlStreamReader>

#include "support/files.h"
#include "support/german_locale.h"
#include "support/ppd_files.h"
#include "support/temporary_folder.h"
#include "zarvik-print/language.h"

namespace zarvik::print {
namespace {

// The English texts of the dialog and the host, as the German table lists
// them, cut at their placeholders; texts the same in both are left out.
std::vector<QRegularExpression> ourEnglishTexts() {
  QFile file(ZARVIK_SOURCE_DIR "/zarvik-print/translations/zarvik-print_de.ts");
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  std::vector<QRegularExpression> pieces;
  QString source;
  for (QXmlStreamReader xml(&file); !xml.atEnd();) {
    if (!xml.readNextStartElement()) continue;
    if (xml.name() == u"source") source = xml.readElementText();
    if (xml.name() != u"translation" || xml.readElementText() == source) continue;
    for (const QString& piece : source.split(QRegularExpression("%[1-9]"))) {
      if (piece.trimmed().size() >= 4)
        pieces.emplace_back("(?<!\\w)" + QRegularExpression::escape(piece.trimmed()) + "(?!\\w)");
    }
  }
  EXPECT_GT(pieces.size(), 50u);
  return pieces;
}

// Everything a person sees or hears of the dialog.
QStringList textsOf(const QWidget& dialog) {
  QStringList texts{dialog.windowTitle()};
  for (QWidget* widget : dialog.findChildren<QWidget*>()) {
    texts << widget->toolTip() << widget->accessibleName();
    if (auto* label = qobject_cast<QLabel*>(widget)) texts << label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) texts << button->text();
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
      for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
    }
  }
  return texts;
}

TEST(PrintDialogTest, InGermanTheDialogSaysWhyKeepsPresetsAndShowsNoEnglishText) {
  zarvik::testing::GermanLocale german;
  ASSERT_EQ(german.failure(), "");
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  installTranslations(QLocale());
  zarvik::testing::TemporaryFolder folder{"zarvik-dialog"};
  const std::filesystem::path settings = folder.path() / "settings.json";
  zarvik::testing::writeFile(settings, R"({"format": "zarvik-print-settings", "presets": {
      "Birch": {"options": {"JobType": "Vector"}, "printSettings": {
                "org.zarvikpde.print.pde.zarvikKind.vectorPower": "65"}},
      "Alder": {"options": {"JobType": "Raster", "rasterSpeed": "Custom.500"}}}})");
  CommandLine line;
  line.ppd = zarvik::testing::samplePpdPath().string();
  line.settingsFile = settings.string();
  std::vector<std::string> warnings;
  auto opened = PrintJob::open(line, warnings);
  ASSERT_TRUE(std::holds_alternative<std::unique_ptr<PrintJob>>(opened));
  PrintJob& job = *std::get<std::unique_ptr<PrintJob>>(opened);
  PrintDialog dialog(job, {settings.string()});
  dialog.show();
  auto* status = dialog.findChild<QLabel*>("status");
  auto* presets = dialog.findChild<QComboBox*>("presets");
  ASSERT_TRUE(status && presets);
  QStringList seen;
  auto button = [&](const QString& text) {
    for (QPushButton* each : dialog.findChildren<QPushButton*>()) {
      if (each->text() == text) return each;
    }
    ADD_FAILURE() << "no button " << text.toStdString();
    return new QPushButton(&dialog);
  };
  auto settle = [&] {
    QCoreApplication::sendPostedEvents();
    seen << textsOf(dialog);
  };
  auto choose = [&](int preset) {
    presets->setCurrentIndex(preset);
    emit presets->activated(preset);
    settle();
  };

  EXPECT_EQ(job.session().set("rasterSpeed", "500").kind, SetOutcome::kRefused);
  settle();
  EXPECT_EQ(status->text(), "Rastergeschwindigkeit muss im Bereich 1 bis 100 liegen; 500 liegt außerhalb.");
  EXPECT_EQ(job.session().set("JobType", "Vector").kind, SetOutcome::kDone);
  settle();
  EXPECT_EQ(status->text(), "") << "the refusal outlived a change the printer took";
  EXPECT_EQ(dialog.findChild<QLabel*>("summary")->text(), "Zarvik-Einstellungen: Nur Vektor");

  // A preset marks its options and puts the panel where they are; one the
  // printer cannot take whole says so.
  choose(2);
  EXPECT_EQ(job.jobOptions().at("vectorPower"), "Custom.65");
  EXPECT_EQ(job.session().view()->findChild<QLineEdit*>("vPowerTextBox")->text(), "65");
  choose(1);
  EXPECT_EQ(job.jobOptions().at("JobType"), "Raster");
  EXPECT_TRUE(status->text().startsWith("Die gespeicherte Option rasterSpeed=Custom.500 wurde übergangen: "));
  // Save As asks for a name; Delete takes the chosen preset.
  QTimer::singleShot(0, [] {
    auto* ask = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
    ASSERT_TRUE(ask) << "Save As asked for no name";
    ask->setTextValue("  Oak  ");
    ask->accept();
  });
  button("Speichern unter …")->click();
  presets->setCurrentIndex(1);
  button("Löschen")->click();
  settle();
  auto saved = [&] { return QJsonDocument::fromJson(QByteArray::fromStdString(zarvik::testing::readFile(settings))); };
  EXPECT_EQ(saved()["presets"].toObject().keys(), (QStringList{"Birch", "Oak"}));
  EXPECT_EQ(saved()["presets"]["Oak"]["options"]["JobType"].toString(), "Raster");
  // Print to a PPD file sends nothing, saves nothing and stays open.
  button("Drucken")->click();
  settle();
  EXPECT_EQ(dialog.printStatus(), kExitUsage);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(saved().object().contains("lastUsed"));

  for (const QRegularExpression& english : ourEnglishTexts()) {
    for (const QString& text : seen) EXPECT_FALSE(text.contains(english)) << text.toStdString();
  }
  // The PPD's own texts in its German translations; keywords stay.
  for (const QString& text : seen) EXPECT_FALSE(text.contains(QRegularExpression("Raster and|Top to|Shortest|Not Set")));
  EXPECT_TRUE(seen.contains("Raster und Vektor") && seen.contains("Drucken"));
}

}  // namespace
}  // namespace zarvik::print
