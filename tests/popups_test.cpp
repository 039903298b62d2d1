// Filling the five pop-up buttons from the PPD's choices.
#include "support/files.h"
#include "support/panel_fixture.h"

namespace zarvik::testing {
namespace {

using Texts = std::vector<std::string>;
using Objects = std::vector<std::optional<std::string>>;

std::string replaced(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The journal entries that fill or empty a pop-up.
Journal fillCalls(const Journal& journal) {
  Journal out;
  for (const auto& entry : journal) {
    if (entry.find(".removeAllItems(") != std::string::npos || entry.find(".addItemWithTitle(") != std::string::npos) {
      out.push_back(entry);
    }
  }
  return out;
}

class PopupsTest : public PanelTest {
 protected:
  // Builds the panel on a PPD written from `text` instead of the sample.
  ZarvikPDE& makePanelOn(const std::string& text) {
    panel.reset();
    host.reset();
    other = std::make_unique<TemporaryPpd>(text);
    if (other->get() == nullptr) throw std::runtime_error("libcups cannot open the PPD");
    host = std::make_shared<RecordingHost>(other->get());
    panel = ZarvikPDE::initWithCallback(host);
    if (!panel) throw std::runtime_error("no panel was built");
    return *panel;
  }

  std::unique_ptr<TemporaryPpd> other;
};

TEST_F(PopupsTest, FillEmptiesAllFiveThenAddsEachOptionsChoicesInOrder) {
  ZarvikPDE& p = makePanel();
  p.panelView();
  MemoryView& view = *bundle->loadedView;
  // Whatever items the view description gave a pop-up go.
  view.popup("jobTypePopup").addItemWithTitle("Item 1");
  view.journal.clear();
  log.clear();
  host->calls.clear();

  p.willShow();

  EXPECT_TRUE(p.popUpIsInited);
  EXPECT_EQ(fillCalls(view.journal),
            (Journal{
                "jobTypePopup.removeAllItems()",
                "centerEngravingPopup.removeAllItems()",
                "ditheringPopup.removeAllItems()",
                "engravingDirectionPopup.removeAllItems()",
                "vSortingPopup.removeAllItems()",
                "jobTypePopup.addItemWithTitle(Raster Only)",
                "jobTypePopup.addItemWithTitle(Vector Only)",
                "jobTypePopup.addItemWithTitle(Raster and Vector)",
                "centerEngravingPopup.addItemWithTitle(Do Not Center)",
                "centerEngravingPopup.addItemWithTitle(Center Horizontally)",
                "centerEngravingPopup.addItemWithTitle(Center Vertically)",
                "centerEngravingPopup.addItemWithTitle(Center on the Bed)",
                "ditheringPopup.addItemWithTitle(Threshold (Black and White))",
                "ditheringPopup.addItemWithTitle(Random Noise)",
                "ditheringPopup.addItemWithTitle(Ordered (Bayer Matrix))",
                "ditheringPopup.addItemWithTitle(Halftone Dots)",
                "ditheringPopup.addItemWithTitle(Error Diffusion (Floyd-Steinberg))",
                "ditheringPopup.addItemWithTitle(Error Diffusion (Atkinson))",
                "ditheringPopup.addItemWithTitle(Error Diffusion (Sierra))",
                "engravingDirectionPopup.addItemWithTitle(Top to Bottom)",
                "engravingDirectionPopup.addItemWithTitle(Bottom to Top)",
                "vSortingPopup.addItemWithTitle(Keep Drawing Order)",
                "vSortingPopup.addItemWithTitle(Shortest Travel)",
                "vSortingPopup.addItemWithTitle(Inner Shapes First)",
            }));
  // Every fill call comes before the refresh's first selection.
  ASSERT_GE(view.journal.size(), 24u);
  EXPECT_EQ(view.journal[24], "jobTypePopup.selectItemAtIndex(2)");

  EXPECT_EQ(view.popup("jobTypePopup").objects(), (Objects{"Raster", "Vector", "Combined"}));
  EXPECT_EQ(view.popup("centerEngravingPopup").objects(), (Objects{"None", "Horizontal", "Vertical", "Center"}));
  EXPECT_EQ(view.popup("ditheringPopup").objects(), (Objects{"Threshold", "Random", "Ordered", "Halftone",
                                                             "FloydSteinberg", "Atkinson", "Sierra"}));
  EXPECT_EQ(view.popup("engravingDirectionPopup").objects(), (Objects{"TopDown", "BottomUp"}));
  EXPECT_EQ(view.popup("vSortingPopup").objects(), (Objects{"Off", "Optimize", "InsideOut"}));
  EXPECT_TRUE(log.lines.empty());
  EXPECT_TRUE(host->calls.empty());
}

TEST_F(PopupsTest, LaterShowsKeepTheItemsAndOnlyRefreshTheSelection) {
  ZarvikPDE& p = makePanel();
  MemoryView& view = showPanel();
  const Texts titles = view.popup("ditheringPopup").titles();
  view.journal.clear();

  p.willShow();
  ASSERT_TRUE(p.restoreValuesAndReturnError(nullptr));
  p.initializePopup();
  p.willShow();

  EXPECT_TRUE(fillCalls(view.journal).empty());
  EXPECT_EQ(view.popup("ditheringPopup").titles(), titles);
  EXPECT_EQ(view.popup("jobTypePopup").items.size(), 3u);
  EXPECT_EQ(view.popup("vSortingPopup").items.size(), 3u);
  EXPECT_EQ(view.popup("ditheringPopup").selectedObject(), "FloydSteinberg");
}

// A show that finds no view fills nothing and must not count as the fill,
// or the pop-ups would stay empty for the panel's life.
TEST_F(PopupsTest, ShowBeforeTheViewIsLoadedLeavesTheFillToTheFirstShowWithAView) {
  ZarvikPDE& p = makePanel();
  p.willShow();
  p.initializePopup();
  EXPECT_FALSE(p.popUpIsInited);
  EXPECT_EQ(bundle->nibLoads, 0);

  MemoryView& view = showPanel();
  EXPECT_TRUE(p.popUpIsInited);
  EXPECT_EQ(view.popup("jobTypePopup").titles(), (Texts{"Raster Only", "Vector Only", "Raster and Vector"}));
  EXPECT_EQ(view.popup("jobTypePopup").selectedObject(), "Combined");
}

TEST_F(PopupsTest, TitlesAreTheChoiceTextsAsUtf8WithInvalidBytesReplaced) {
  // libcups converts a text declared ISOLatin1 to UTF-8 itself.
  {
    makePanelOn(readFile(testPpdPath("latin1-texts.ppd")));
    MemoryView& view = showPanel();
    EXPECT_EQ(view.popup("jobTypePopup").titles(),
              (Texts{"Gravur \xC3\xBC"
                     "ber Kopf",
                     "Gr\xC3\xB6\xC3\x9F"
                     "e",
                     "Raster and Vector"}));
    EXPECT_EQ(view.popup("ditheringPopup").titles()[2], "Geordnet (Gr\xC3\xB6\xC3\x9F" "e 4\xC3\x97" "4)");
  }
  // Declared UTF-8 but written in Latin-1: libcups keeps the bytes, and
  // each byte that is no UTF-8 becomes U+FFFD rather than vanishing.
  {
    makePanelOn(replaced(readFile(testPpdPath("latin1-texts.ppd")), "*LanguageEncoding: ISOLatin1",
                         "*LanguageEncoding: UTF-8"));
    MemoryView& view = showPanel();
    EXPECT_EQ(view.popup("jobTypePopup").titles(), (Texts{"Gravur \xEF\xBF\xBD"
                                                          "ber Kopf",
                                                          "Gr\xEF\xBF\xBD\xEF\xBF\xBD"
                                                          "e",
                                                          "Raster and Vector"}));
    EXPECT_EQ(view.popup("ditheringPopup").titles()[2],
              "Geordnet (Gr\xEF\xBF\xBD\xEF\xBF\xBD"
              "e 4\xEF\xBF\xBD"
              "4)");
    EXPECT_EQ(view.popup("jobTypePopup").objects(), (Objects{"Raster", "Vector", "Combined"}));
  }
  // Valid UTF-8 is shown unchanged.
  {
    makePanelOn(readFile(testPpdPath("utf8-texts.ppd")));
    MemoryView& view = showPanel();
    EXPECT_EQ(view.popup("ditheringPopup").titles()[5], "Fehlerdiffusion \xC2\xAB" "Atkinson\xC2\xBB");
  }
}

TEST_F(PopupsTest, TitlesAreNotLookedUpInTheLocalisationTable) {
  bundle->strings = {{"Raster Only", "Nur Raster"}, {"Top to Bottom", "Von oben nach unten"}};
  makePanel();
  MemoryView& view = showPanel();
  EXPECT_EQ(view.popup("jobTypePopup").titles()[0], "Raster Only");
  EXPECT_EQ(view.popup("engravingDirectionPopup").titles()[0], "Top to Bottom");
}

// The keyword is what gets marked, so it travels from the PPD to the host
// unchanged, whatever punctuation it holds and up to its full 40 bytes.
TEST_F(PopupsTest, ItemsCarryTheChoiceKeywordsByteForByte) {
  const std::string punctuated = "R.a-s_t+e~r!@#$%^&*()";
  const std::string longest(40, 'K');
  std::string text = replaced(sampleWith("*JobType Raster/", "*JobType " + punctuated + "/"),
                              "*JobType Vector/", "*JobType " + longest + "/");
  ZarvikPDE& p = makePanelOn(text);
  MemoryView& view = showPanel();
  EXPECT_EQ(view.popup("jobTypePopup").objects(), (Objects{punctuated, longest, "Combined"}));
  EXPECT_EQ(view.popup("jobTypePopup").titles(), (Texts{"Raster Only", "Vector Only", "Raster and Vector"}));

  host->calls.clear();
  log.clear();
  view.popup("jobTypePopup").userSelects(0);
  view.popup("jobTypePopup").userSelects(1);
  EXPECT_EQ(host->requests(), (std::vector<std::string>{"JobType=" + punctuated, "JobType=" + longest}));
  EXPECT_EQ(p.jobTypeChoice, longest);
  EXPECT_EQ(markedChoice(other->get(), "JobType"), longest);
  EXPECT_EQ(log.lines, (std::vector<std::string>{
                           "A new user choice has been selected\nThe choice is: " + punctuated + "\n The type is: 0",
                           "A new user choice has been selected\nThe choice is: " + longest + "\n The type is: 0",
                       }));
}

TEST_F(PopupsTest, OptionWithoutChoicesLeavesItsPopupEmptyAndTheOthersFilled) {
  std::string text = sampleWith("*vectorSort Off/Keep Drawing Order: \"\"\n", "");
  text = replaced(text, "*vectorSort Optimize/Shortest Travel: \"\"\n", "");
  text = replaced(text, "*vectorSort InsideOut/Inner Shapes First: \"\"\n", "");
  ZarvikPDE& p = makePanelOn(text);
  ASSERT_NE(p.vectorSortingOption, nullptr);
  ASSERT_EQ(p.vectorSortingOption->num_choices, 0);
  MemoryView& view = showPanel();

  EXPECT_TRUE(view.popup("vSortingPopup").items.empty());
  EXPECT_EQ(view.popup("vSortingPopup").indexOfSelectedItem(), -1);
  EXPECT_EQ(view.popup("engravingDirectionPopup").titles(), (Texts{"Top to Bottom", "Bottom to Top"}));
  EXPECT_EQ(view.popup("ditheringPopup").items.size(), 7u);
  EXPECT_TRUE(p.popUpIsInited);

  // Nothing there to pick: the pop-up sends nothing.
  host->calls.clear();
  view.popup("vSortingPopup").userSelects(0);
  EXPECT_TRUE(host->calls.empty());
}

// Item i belongs to choice i even when two choices share a text.
TEST_F(PopupsTest, ChoicesWithTheSameTextKeepAnItemEach) {
  ZarvikPDE& p = makePanelOn(sampleWith("Error Diffusion (Atkinson)", "Error Diffusion (Floyd-Steinberg)"));
  MemoryView& view = showPanel();
  MemoryPopUpButton& dithering = view.popup("ditheringPopup");
  ASSERT_EQ(dithering.items.size(), 7u);
  EXPECT_EQ(dithering.titles()[4], "Error Diffusion (Floyd-Steinberg)");
  EXPECT_EQ(dithering.titles()[5], "Error Diffusion (Floyd-Steinberg)");
  EXPECT_EQ(dithering.objects()[4], "FloydSteinberg");
  EXPECT_EQ(dithering.objects()[5], "Atkinson");

  host->calls.clear();
  dithering.userSelects(5);
  EXPECT_EQ(host->requests(), (std::vector<std::string>{"dithering=Atkinson"}));
  EXPECT_EQ(p.ditheringChoice, "Atkinson");
}

}  // namespace
}  // namespace zarvik::testing
