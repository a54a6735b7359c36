// The toolbar and its dialogs drawn on an offscreen frame: pixels checked where the layout puts
// them, and each picture kept in the build folder for looking at.

#include "ToolBarTestSupport.h"

#include <cmath>

#include "Frameworks/Gui/CBitmap.h"
#include "Frameworks/Gui/CDrawContext.h"
#include "Frameworks/Gui/CTextEdit.h"
#include "source/editor/MultiActionDialogButton.h"
#include "source/editor/SaveDialog.h"
#include "source/editor/ToolBarDrawing.h"
#include "source/editor/cMessageDialogue.h"

namespace toolbar_test {
namespace {

class RenderingTest : public ToolBarFixture {
 protected:
  // Draws the whole frame and keeps the picture as <name>.png.
  VSTGUI::SharedPointer<VSTGUI::CBitmapPixelAccess> render(const std::string& name) {
    frame->invalid();
    frame->redrawDirtyAreas();
    VSTGUI::CBitmap* bitmap = frame->getBackBuffer()->getBitmap();
    EXPECT_TRUE(bitmap->writePNG(std::string(TOOLBAR_TEST_OUTPUT_DIR) + "/" + name + ".png"));
    return VSTGUI::CBitmapPixelAccess::create(bitmap);
  }
  static VSTGUI::CColor pixel(VSTGUI::CBitmapPixelAccess* pixels, VSTGUI::CPoint p) {
    VSTGUI::CColor colour;
    pixels->setPosition(static_cast<uint32_t>(p.x), static_cast<uint32_t>(p.y));
    pixels->getColor(colour);
    return colour;
  }
  void openWithStrip(double width = 862, double height = 419) {
    open(width, height);
    frame->setBackgroundColor(VSTGUI::CColor(45, 45, 45, 255));
    toolbar->initialise(1.f, 0);
  }
};

TEST_F(RenderingTest, SaveDialogPanelAndTextFieldAreWhereTheLayoutPutsThem) {
  openWithStrip();
  clickCentre(toolbar->saveButton());
  skarvel::SaveDialog* dialog = toolbar->saveDialog();
  auto pixels = render("toolbar-save-dialog");
  const VSTGUI::CRect panel = dialog->panelRect();
  EXPECT_EQ(pixel(pixels, VSTGUI::CPoint(panel.left + 3, panel.getCenter().y)), VSTGUI::CColor(53, 53, 53, 255));
  const VSTGUI::CRect field = dialog->textField()->getViewSize();
  EXPECT_EQ(pixel(pixels, VSTGUI::CPoint(field.right - 2, field.getCenter().y)), VSTGUI::CColor(35, 35, 35, 255));
  EXPECT_GT(panel.getWidth(), 0.3 * 862);
  EXPECT_TRUE(VSTGUI::CRect(0, 0, 862, 419).rectInside(panel));

  dialog->textField()->setText("Alpha user edit");
  dialog->showMessage("Name hasn't changed, overwrite current preset?", "Overwrite");
  render("toolbar-save-question");
}

TEST_F(RenderingTest, EveryDialogDrawsAtTheSmallestAndLargestSize) {
  write("Presets/Factory/Broken.yaml", "---\nPreset: [not closed\n");  // lines for the log
  for (const auto& [width, height, tag] :
       {std::tuple{767.18, 372.91, "small"}, std::tuple{1706.76, 829.62, "large"}}) {
    openWithStrip(width, height);
    render(std::string("toolbar-strip-") + tag);
    toolbar->showCredits();
    render(std::string("toolbar-credits-") + tag);
    frame->setModalView(nullptr);
    toolbar->showTimedNotice("New preset was saved with the name \"Glass Pad user edit\"");
    auto pixels = render(std::string("toolbar-notice-") + tag);
    // The notice's panel sits in the middle of the frame.
    EXPECT_EQ(pixel(pixels, VSTGUI::CPoint(width * 0.25 + 4, height / 2)), VSTGUI::CColor(53, 53, 53, 255));
    frame->setModalView(nullptr);
    toolbar->showDiagnosticLog();
    render(std::string("toolbar-log-") + tag);
    tearDownToolBar();
  }
}

// A back end that draws whole-pixel sizes only (rounded to the nearest, as GDI+ under wine does)
// makes the proportionally scaled size too wide; the fitted size must still fit.
TEST(TextFitting, SizesFitOnABackEndThatRoundsToWholePixels) {
  for (const double width : {170.0, 200.0, 250.0, 371.0}) {
    auto measure = [](double size) { return 27.0 * std::round(size); };  // 27 px per pixel of size
    const double size = skarvel::toolbar_drawing::shrinkToFit(measure, 16.0, width);
    EXPECT_LE(measure(size), width + 0.5) << width;
    EXPECT_GT(measure(size + 1.0), width) << width << ": shrank more than needed";
  }
  auto linear = [](double size) { return 30.0 * size; };
  EXPECT_DOUBLE_EQ(skarvel::toolbar_drawing::shrinkToFit(linear, 16.0, 300.0), 10.0) << "exact scaling is kept";
  EXPECT_EQ(skarvel::toolbar_drawing::shrinkToFit(linear, 16.0, 1000.0), 16.0) << "text that fits keeps its size";
  EXPECT_EQ(skarvel::toolbar_drawing::shrinkToFit(linear, 16.0, 10.0), 6.0) << "never below the smallest size";
}

}  // namespace
}  // namespace toolbar_test
