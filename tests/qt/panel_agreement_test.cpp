// What the Qt view shows is what the engraver gets, over random sequences
// of a person's changes, restores, presets and refusals.
#include "support/panel_agreement.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QXmlStreamReader>
#include <cstdio>
#include <map>
#include <set>

#include "host/cups_ppd_host.h"
#include "platform/qt/qt_controls.h"
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

// A person's edit that is not finished never reaches the job: code that
// disables the field (a restore after the host switched auto focus off)
// drops it rather than sending it.
TEST(PanelAgreementTest, OnlyWhatAPersonFinishedIsSentAndABoxShowsOnlyStateOneTicked) {
  QtPanelPlatform platform;
  auto host = host::CupsPpdHost::openFile(samplePpdPath()).take();
  std::unique_ptr<DrivenPanel> panel = platform.build(host);
  ASSERT_TRUE(panel);
  ViewDriver& view = *panel->loadView();
  panel->restore();
  panel->willShow();
  ASSERT_TRUE(view.clickCheckBox("autoFocusCheckBox"));
  ASSERT_TRUE(view.typeText("materialTextBox", "7", /*commit=*/false));
  ASSERT_TRUE(host->mark("autoFocus", "disabled").ok());
  panel->restore();

  EXPECT_EQ(panel->core().oMaterialThickness, 0.0f);
  EXPECT_EQ(view.text("materialTextBox"), "0");
  EXPECT_FALSE(view.isEnabled("materialTextBox"));
  EXPECT_EQ(host->dialogSettings().values().count(std::string(kPanelKind) + ".materialThickness"), 0u);

  QCheckBox box;
  qt::QtCheckBox adapter(&box);
  adapter.setState(1);
  EXPECT_TRUE(box.isChecked());
  adapter.setState(2);
  EXPECT_FALSE(box.isChecked());
}

// A host that calls back into the panel before it refuses a pick: the
// pop-up still goes back to the choice the person left, not to one the
// call-back stored meanwhile.
TEST(PanelAgreementTest, ARefusedPickGoesBackToTheChoiceBeforeItEvenIfTheHostReentersThePanel) {
  class ReenteringHost final : public PDEPluginCallback {
   public:
    explicit ReenteringHost(std::shared_ptr<host::CupsPpdHost> host) : host_(std::move(host)) {}
    bool respondsToWillChangePPDOptionKeyValue() const override { return true; }
    ppd_file_t* ppdFile() override { return host_->ppdFile(); }
    bool willChangePPDOptionKeyValue(std::string_view key, std::string_view choice) override {
      if (key != kJobType || panel == nullptr) return host_->willChangePPDOptionKeyValue(key, choice);
      panel->optionDidChange(kJobType, std::string(choice));
      return false;
    }
    PMPrintSettings* printSettings() override { return host_->printSettings(); }
    DrivenPanel* panel = nullptr;

   private:
    std::shared_ptr<host::CupsPpdHost> host_;
  };
  QtPanelPlatform platform;
  auto host = std::make_shared<ReenteringHost>(host::CupsPpdHost::openFile(samplePpdPath()).take());
  std::unique_ptr<DrivenPanel> panel = platform.build(host);
  ASSERT_TRUE(panel);
  ViewDriver& view = *panel->loadView();
  panel->willShow();
  host->panel = panel.get();
  ASSERT_EQ(view.shownKeyword("jobTypePopup"), "Combined");
  ASSERT_TRUE(view.pickItem("jobTypePopup", 0));
  EXPECT_EQ(view.shownKeyword("jobTypePopup"), "Combined");
}

// Help the panel cannot open is left to the dialog.
TEST(PanelAgreementTest, APanelWhoseHelpBookWasNotRegisteredLeavesHelpToTheHost) {
  class RefusingHelp final : public NSHelpManager {
   public:
    bool registerBooksInBundle(const NSBundle&) override { return false; }
    void openHelpAnchor(std::string_view, std::string_view) override { ++opened; }
    int opened = 0;
  };
  QtPanelPlatform platform;
  RefusingHelp help;
  NSHelpManager* previous = NSHelpManager::setShared(&help);
  std::unique_ptr<DrivenPanel> panel = platform.build(host::CupsPpdHost::openFile(samplePpdPath()).take());
  NSHelpManager::setShared(previous);
  ASSERT_TRUE(panel);
  EXPECT_TRUE(const_cast<ZarvikPDE&>(panel->core()).shouldShowHelp());
  EXPECT_EQ(help.opened, 0);
}

}  // namespace
}  // namespace zarvik::testing
