// Drawing into an offscreen context, checked pixel by pixel.
#ifdef _WIN32
#include <windows.h>
#endif
#include <gtest/gtest.h>

#include <cstdio>

#include "Frameworks/Gui/CGraphicsPath.h"
#include "Frameworks/Gui/Platform.h"
#include "GuiTestSupport.h"

using namespace VSTGUI;
using guitest::countPixels;
using guitest::describe;
using guitest::inkExtent;
using guitest::pixelAt;

namespace {

SharedPointer<COffscreenContext> canvas(int width = 64, int height = 64) {
  auto context = COffscreenContext::create(CPoint(width, height));
  EXPECT_TRUE(context);
  context->beginDraw();
  return context;
}

SharedPointer<CFontDesc> testFont(CCoord size, int32_t style = kNormalFace) {
  static const bool registered = registerFontFile(GUI_TEST_FONT, "GuiTestFont");
  EXPECT_TRUE(registered) << "the test font " << GUI_TEST_FONT << " must be readable";
  return makeOwned<CFontDesc>("GuiTestFont", size, style);
}

}  // namespace

TEST(GuiDrawing, NewOffscreenIsTransparentAndSized) {
  auto context = canvas(40, 30);
  EXPECT_EQ(context->getWidth(), 40);
  EXPECT_EQ(context->getHeight(), 30);
  EXPECT_EQ(context->getBitmap()->getWidth(), 40);
  EXPECT_EQ(pixelAt(context, 5, 5).alpha, 0);
  EXPECT_FALSE(COffscreenContext::create(CPoint(0, 10))) << "an empty size gives no context";
}

TEST(GuiDrawing, AliasedFillsAndOutlinesHaveCrispEdges) {
  auto context = canvas();
  context->setDrawMode(kAliasing);
  context->setFillColor(kRedCColor);
  context->drawRect(CRect(10, 10, 20, 20), kDrawFilled);
  EXPECT_EQ(countPixels(context, CRect(0, 0, 64, 64), kRedCColor), 100) << "exactly the 10 x 10 pixels";
  EXPECT_EQ(pixelAt(context, 10, 10), kRedCColor);
  EXPECT_EQ(pixelAt(context, 19, 19), kRedCColor);
  EXPECT_EQ(pixelAt(context, 20, 20).alpha, 0);

  // A 1-pixel outline lies inside its rectangle: columns 30 and 39, rows 30 and 39.
  context->setFrameColor(kBlueCColor);
  context->setLineWidth(1);
  context->drawRect(CRect(30, 30, 40, 40), kDrawStroked);
  EXPECT_EQ(pixelAt(context, 30, 35), kBlueCColor);
  EXPECT_EQ(pixelAt(context, 39, 35), kBlueCColor);
  EXPECT_EQ(pixelAt(context, 35, 30), kBlueCColor);
  EXPECT_EQ(pixelAt(context, 35, 39), kBlueCColor);
  EXPECT_EQ(pixelAt(context, 35, 35).alpha, 0) << "an outline leaves the inside alone";
  EXPECT_EQ(pixelAt(context, 40, 35).alpha, 0) << "and nothing spills outside";
  EXPECT_EQ(countPixels(context, CRect(0, 0, 64, 64), kBlueCColor), 36);
}

TEST(GuiDrawing, OnePixelLinesCoverExactlyTheirColumnOrRow) {
  for (const int mode : {kAliasing, kAntiAliasing}) {
    auto context = canvas();
    context->setDrawMode(mode);
    context->setLineWidth(1);
    context->setFrameColor(kWhiteCColor);
    context->drawLine(CPoint(5, 10), CPoint(5, 30));
    context->drawLine(CPoint(20, 40), CPoint(50, 40));
    EXPECT_EQ(pixelAt(context, 5, 20), kWhiteCColor) << "mode " << mode;
    EXPECT_EQ(pixelAt(context, 4, 20).alpha, 0) << "mode " << mode;
    EXPECT_EQ(pixelAt(context, 6, 20).alpha, 0) << "mode " << mode;
    EXPECT_EQ(pixelAt(context, 30, 40), kWhiteCColor) << "mode " << mode;
    EXPECT_EQ(pixelAt(context, 30, 39).alpha, 0) << "mode " << mode;
    EXPECT_EQ(pixelAt(context, 30, 41).alpha, 0) << "mode " << mode;
  }
}

TEST(GuiDrawing, AntiAliasingSoftensDiagonalEdgesOnlyWhenOn) {
#ifdef _WIN32
  // wine's GDI+ fills shapes without anti-aliasing; Windows' own does not.
  if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
    GTEST_SKIP() << "wine's GDI+ does not anti-alias fills";
#endif
  auto countPartial = [](COffscreenContext* context) {
    int partial = 0;
    for (int a = 1; a < 255; ++a) partial += countPixels(context, CRect(0, 0, 64, 64), CColor(255, 255, 255, a));
    return partial;
  };
  auto aliased = canvas();
  aliased->setDrawMode(kAliasing);
  aliased->setFillColor(kWhiteCColor);
  aliased->drawEllipse(CRect(8, 8, 56, 56), kDrawFilled);
  EXPECT_EQ(countPartial(aliased), 0) << "anti-aliasing off leaves only full or empty pixels";

  auto smooth = canvas();
  smooth->setDrawMode(kAntiAliasing);
  smooth->setFillColor(kWhiteCColor);
  smooth->drawEllipse(CRect(8, 8, 56, 56), kDrawFilled);
  EXPECT_GT(countPartial(smooth), 20) << "anti-aliasing on blends the curved edge";
  EXPECT_EQ(pixelAt(smooth, 32, 32), kWhiteCColor);
  EXPECT_EQ(pixelAt(smooth, 9, 9).alpha, 0) << "the corner of the box is outside the ellipse";
}

TEST(GuiDrawing, AlphaAndGlobalAlphaMultiply) {
  auto context = canvas();
  context->setFillColor(CColor(255, 0, 0, 128));
  context->drawRect(CRect(0, 0, 10, 10), kDrawFilled);
  const CColor half = pixelAt(context, 5, 5);
  EXPECT_NEAR(half.alpha, 128, 1) << describe(half);
  EXPECT_EQ(half.red, 255) << "colours are read back unpremultiplied";

  context->setGlobalAlpha(0.5f);
  context->setFillColor(kGreenCColor);
  context->drawRect(CRect(20, 0, 30, 10), kDrawFilled);
  EXPECT_NEAR(pixelAt(context, 25, 5).alpha, 128, 1);

  // Over an opaque background the blend is visible in the colour.
  context->setGlobalAlpha(1.f);
  context->setFillColor(kBlackCColor);
  context->drawRect(CRect(40, 0, 50, 10), kDrawFilled);
  context->setFillColor(CColor(255, 255, 255, 64));
  context->drawRect(CRect(40, 0, 50, 10), kDrawFilled);
  const CColor blend = pixelAt(context, 45, 5);
  EXPECT_EQ(blend.alpha, 255);
  EXPECT_NEAR(blend.red, 64, 2) << describe(blend);
}

TEST(GuiDrawing, ClippingLimitsDrawingAndNestsWithSavedState) {
  auto context = canvas();
  context->setFillColor(kRedCColor);
  context->saveGlobalState();
  context->setClipRect(CRect(10, 10, 20, 20));
  context->drawRect(CRect(0, 0, 64, 64), kDrawFilled);
  CRect clip;
  context->getClipRect(clip);
  EXPECT_EQ(clip, CRect(10, 10, 20, 20));
  context->restoreGlobalState();
  EXPECT_EQ(countPixels(context, CRect(0, 0, 64, 64), kRedCColor), 100);

  context->getClipRect(clip);
  EXPECT_EQ(clip, CRect(0, 0, 64, 64)) << "restoring the state restores the clip";

  // A clip set under a transform is in the transformed coordinates.
  {
    CDrawContext::Transform t(*context, CGraphicsTransform().translate(30, 30));
    context->setClipRect(CRect(0, 0, 5, 5));
    context->setFillColor(kBlueCColor);
    context->drawRect(CRect(-10, -10, 20, 20), kDrawFilled);
  }
  EXPECT_EQ(countPixels(context, CRect(0, 0, 64, 64), kBlueCColor), 25);
  EXPECT_EQ(pixelAt(context, 30, 30), kBlueCColor);
  EXPECT_EQ(pixelAt(context, 35, 35).alpha, 0);
}

TEST(GuiDrawing, ArcsPolygonsAndPathsLandWhereExpected) {
  auto context = canvas(100, 100);
  context->setDrawMode(kAliasing);
  // A filled arc from 0 to 90 degrees is the lower-right quarter (angles grow clockwise).
  context->setFillColor(kRedCColor);
  context->drawArc(CRect(0, 0, 40, 40), 0, 90, kDrawFilled);
  EXPECT_EQ(pixelAt(context, 28, 28), kRedCColor);
  EXPECT_EQ(pixelAt(context, 12, 12).alpha, 0);
  EXPECT_EQ(pixelAt(context, 28, 12).alpha, 0);

  // A stroked arc from 180 to 270 degrees is the upper-left quarter of the circle.
  context->setFrameColor(kGreenCColor);
  context->setLineWidth(3);
  context->drawArc(CRect(50, 0, 90, 40), 180, 270, kDrawStroked);
  EXPECT_EQ(pixelAt(context, 55, 5), kGreenCColor) << "the middle of the arc, at 225 degrees";
  EXPECT_EQ(pixelAt(context, 51, 14), kGreenCColor);
  EXPECT_EQ(pixelAt(context, 89, 20).alpha, 0) << "the right side of the circle is not part of this arc";

  // A filled triangle.
  context->setFillColor(kBlueCColor);
  context->drawPolygon({CPoint(0, 50), CPoint(40, 50), CPoint(0, 90)}, kDrawFilled);
  EXPECT_EQ(pixelAt(context, 5, 55), kBlueCColor);
  EXPECT_EQ(pixelAt(context, 35, 85).alpha, 0);

  // A path with a hole (even-odd).
  SharedPointer<CGraphicsPath> path = owned(context->createGraphicsPath());
  path->addRect(CRect(50, 50, 90, 90));
  path->addRect(CRect(60, 60, 80, 80));
  context->setFillColor(kWhiteCColor);
  context->drawGraphicsPath(path, CDrawContext::kPathFilledEvenOdd);
  EXPECT_EQ(pixelAt(context, 55, 55), kWhiteCColor);
  EXPECT_EQ(pixelAt(context, 70, 70).alpha, 0);
  EXPECT_EQ(path->getBoundingBox(), CRect(50, 50, 90, 90));
}

TEST(GuiDrawing, BitmapsDrawAtTheirOffsetAndThroughPixelAccess) {
  auto picture = makeOwned<CBitmap>(8, 8);
  {
    auto access = CBitmapPixelAccess::create(picture, false);
    ASSERT_TRUE(access);
    do {
      access->setColor(access->getX() < 4 ? kRedCColor : kBlueCColor);
    } while (++(*access));
  }
  auto context = canvas();
  picture->draw(context, CRect(10, 10, 18, 18));
  EXPECT_EQ(pixelAt(context, 10, 10), kRedCColor);
  EXPECT_EQ(pixelAt(context, 17, 17), kBlueCColor);
  EXPECT_EQ(pixelAt(context, 18, 10).alpha, 0);

  // Only the part starting at the offset, clipped to the destination.
  context->drawBitmap(picture, CRect(30, 30, 34, 38), CPoint(4, 0));
  EXPECT_EQ(pixelAt(context, 30, 30), kBlueCColor);
  EXPECT_EQ(pixelAt(context, 34, 30).alpha, 0);

  context->drawBitmap(picture, CRect(40, 40, 48, 48), CPoint(0, 0), 0.5f);
  EXPECT_NEAR(pixelAt(context, 41, 41).alpha, 128, 1);

  // Pixel access reads back what it wrote, also for half-transparent colours.
  auto access = CBitmapPixelAccess::create(picture, false);
  access->setPosition(1, 1);
  access->setColor(CColor(200, 100, 50, 128));
  CColor back;
  access->getColor(back);
  EXPECT_NEAR(back.red, 200, 2);
  EXPECT_NEAR(back.green, 100, 2);
  EXPECT_NEAR(back.blue, 50, 2);
  EXPECT_EQ(back.alpha, 128);
  EXPECT_FALSE(access->setPosition(8, 0)) << "positions outside the picture are refused";
}

TEST(GuiDrawing, PngPicturesLoadAndMissingOnesReportNoPixels) {
  auto context = canvas(16, 16);
  context->setFillColor(CColor(10, 200, 30, 255));
  context->drawRect(CRect(0, 0, 16, 8), kDrawFilled);
  const std::string path = std::string(GUI_TEST_OUTPUT_DIR) + "/drawing-test.png";
  context->endDraw();
  ASSERT_TRUE(context->getBitmap()->writePNG(path));

  auto loaded = makeOwned<CBitmap>(CResourceDescription(path));
  ASSERT_NE(loaded->getPlatformBitmap(), nullptr);
  EXPECT_EQ(loaded->getWidth(), 16);
  auto access = CBitmapPixelAccess::create(loaded);
  access->setPosition(3, 3);
  EXPECT_EQ(access->getColor(), CColor(10, 200, 30, 255));

  setResourceFolder(GUI_TEST_OUTPUT_DIR);
  auto relative = makeOwned<CBitmap>(CResourceDescription("drawing-test.png"));
  EXPECT_NE(relative->getPlatformBitmap(), nullptr) << "relative names are found in the resource folder";
  setResourceFolder("");

  auto missing = makeOwned<CBitmap>(CResourceDescription("/nonexistent/picture.png"));
  EXPECT_EQ(missing->getPlatformBitmap(), nullptr);
  EXPECT_EQ(missing->getWidth(), 0);
  EXPECT_FALSE(CBitmapPixelAccess::create(missing)) << "no pixel access without pixels";
  std::remove(path.c_str());
}

TEST(GuiDrawing, TextIsAlignedInsideItsRectangle) {
  auto font = testFont(14);
  const CRect box(10, 10, 190, 40);
  std::pair<int, int> extents[3];
  const CHoriTxtAlign aligns[3] = {kLeftText, kCenterText, kRightText};
  CCoord width = 0;
  for (int i = 0; i < 3; ++i) {
    auto context = canvas(200, 50);
    context->setFont(font);
    context->setFontColor(kWhiteCColor);
    context->drawString("Wide", box, aligns[i], false);
    width = context->getStringWidth("Wide");
    extents[i] = inkExtent(context, CRect(0, 0, 200, 50));
    ASSERT_LE(extents[i].first, extents[i].second) << "text was drawn for alignment " << i;
  }
  EXPECT_GT(width, 20);
  EXPECT_NEAR(extents[0].first, 10, 2) << "left-aligned text starts at the left edge";
  EXPECT_NEAR(extents[2].second, 189, 2) << "right-aligned text ends at the right edge";
  const double centre = (extents[1].first + extents[1].second) / 2.0;
  EXPECT_NEAR(centre, 100, 2) << "centred text is centred";
}

TEST(GuiDrawing, TextIsCentredVerticallyAndUsesTheFontColour) {
  auto font = testFont(20);
  auto context = canvas(100, 60);
  context->setFont(font);
  context->setFontColor(kRedCColor);
  context->drawString("HHH", CRect(0, 0, 100, 60), kCenterText, false);
  // Ink rows of the capital letters.
  int top = 100, bottom = -1;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 100; ++x) {
      if (pixelAt(context, x, y).alpha > 64) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
  }
  ASSERT_LE(top, bottom);
  EXPECT_NEAR((top + bottom) / 2.0, 30, 4) << "the line sits around the middle (ink " << top << ".." << bottom << ")";
  EXPECT_GT(countPixels(context, CRect(0, 0, 100, 60), kRedCColor), 40) << "glyphs are filled with the font colour";
}

TEST(GuiDrawing, BoldAndSizeChangeTheTextWidth) {
  auto regular = testFont(12);
  auto bigger = testFont(24);
  auto bold = testFont(12, kBoldFace);
  auto context = canvas();
  context->setFont(regular);
  const CCoord w12 = context->getStringWidth("Sample");
  context->setFont(bigger);
  const CCoord w24 = context->getStringWidth("Sample");
  context->setFont(bold);
  const CCoord wBold = context->getStringWidth("Sample");
  EXPECT_NEAR(w24, 2 * w12, 1.5);
  EXPECT_GE(wBold, w12);
  // setFont with its own size leaves the caller's font untouched.
  context->setFont(regular, 30);
  EXPECT_EQ(regular->getSize(), 12);
  EXPECT_GT(context->getStringWidth("Sample"), w24);
}

TEST(GuiDrawing, UnregisteredNamesFallBackToAnInstalledFont) {
  auto arial = makeOwned<CFontDesc>("Arial", 12, kBoldFace);
  IPlatformFont* platformFont = arial->getPlatformFont();
  ASSERT_NE(platformFont, nullptr) << "a name that is not installed still gives a font";
  EXPECT_FALSE(platformFont->getResolvedName().empty());
  EXPECT_GT(platformFont->getStringWidth("x"), 0);
  EXPECT_FALSE(isFontRegistered("Arial"));
  EXPECT_FALSE(registerFontFile("/nonexistent/font.ttf", "Missing")) << "a missing file is refused";
  EXPECT_FALSE(isFontRegistered("Missing"));
}
