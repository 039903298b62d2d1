// What the Qt view shows is what the engraver gets, over random sequences
// of a person's changes, restores, presets and refusals; and the shipped
// view wires each control to its action.
#include "support/panel_agreement.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QXmlStreamReader>
#include <cstdio>
#include <map>

#include "qt_panel_platform.h"
#include "support/ppd_files.h"

namespace zarvik::testing {
namespace {

TEST(PanelAgreementTest, TheQtViewShowsWhatTheJobCarriesAfterEveryStep) {
  // The variants are made by replacing text; an empty pattern must fail at
  // once rather than match at every place forever.
  EXPECT_NONFATAL_FAILURE(replaceAll("*JobType", "", "x"), "needs a text");
  QtPanelPlatform platform;
  AgreementResult result = runAgreement(platform, agreementRunFromEnvironment(200));
  std::printf("agreement on %s: %ld sequences, %ld steps, %d broke the rule\n", platform.name().c_str(),
              result.sequences, result.steps, result.failure ? 1 : 0);
  EXPECT_FALSE(result.failure.has_value()) << result.failure.value_or("");
}

// The shipped view wires each control to the action the panel's own table
// gives it: a slider wired to its neighbour's action would pass every test
// that builds its view from the same table.
TEST(PanelAgreementTest, EveryControlOfTheShippedViewSendsTheActionThePanelNamesForIt) {
  QFile file(QString::fromUtf8(ZARVIK_SOURCE_DIR "/resources/ZarvikPDE.ui"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  std::map<std::string, std::string> shipped;  // outlet -> action
  std::vector<std::string> widgets;
  for (QXmlStreamReader xml(&file); !xml.atEnd();) {
    xml.readNext();
    if (xml.isStartElement() && xml.name() == u"widget")
      widgets.push_back(xml.attributes().value("name").toString().toStdString());
    if (xml.isEndElement() && xml.name() == u"widget") widgets.pop_back();
    if (xml.isStartElement() && xml.name() == u"property" && xml.attributes().value("name") == u"zarvikAction") {
      xml.readNextStartElement();
      shipped[widgets.back()] = xml.readElementText().toStdString();
    }
  }
  std::map<std::string, std::string> wanted;
  for (const ControlActionRow& row : controlActions()) {
    for (std::string_view sender : row.senders) {
      if (!sender.empty()) wanted[std::string(sender)] = std::string(row.action);
    }
  }
  EXPECT_EQ(shipped, wanted);
  EXPECT_EQ(wanted.size(), 22u);
}

}  // namespace
}  // namespace zarvik::testing
