#include <gtest/gtest.h>

#include "Frameworks/Gui/CGraphicsTransform.h"

using namespace VSTGUI;

TEST(GuiGeometry, RectEdgesAreHalfOpen) {
  const CRect r(10, 20, 30, 50);
  EXPECT_EQ(r.getWidth(), 20);
  EXPECT_EQ(r.getHeight(), 30);
  EXPECT_TRUE(r.pointInside(CPoint(10, 20)));
  EXPECT_TRUE(r.pointInside(CPoint(29.9, 49.9)));
  EXPECT_FALSE(r.pointInside(CPoint(30, 20))) << "the right edge is outside";
  EXPECT_FALSE(r.pointInside(CPoint(10, 50))) << "the bottom edge is outside";
  EXPECT_FALSE(r.rectOverlap(CRect(30, 20, 40, 50))) << "touching rectangles do not overlap";
  EXPECT_TRUE(r.rectOverlap(CRect(29, 49, 40, 60)));
}

TEST(GuiGeometry, BoundUniteAndInsetKeepRectanglesConsistent) {
  CRect a(0, 0, 10, 10);
  a.bound(CRect(5, 5, 20, 20));
  EXPECT_EQ(a, CRect(5, 5, 10, 10));

  CRect disjoint(0, 0, 10, 10);
  disjoint.bound(CRect(20, 20, 30, 30));
  EXPECT_TRUE(disjoint.isEmpty()) << "no overlap leaves an empty rectangle, never a negative one";
  EXPECT_GE(disjoint.getWidth(), 0);

  CRect u;
  u.unite(CRect(5, 5, 10, 10));
  EXPECT_EQ(u, CRect(5, 5, 10, 10)) << "uniting with an empty rectangle takes the other";
  u.unite(CRect(0, 8, 2, 20));
  EXPECT_EQ(u, CRect(0, 5, 10, 20));
  u.unite(CRect());
  EXPECT_EQ(u, CRect(0, 5, 10, 20)) << "an empty rectangle adds nothing";

  CRect i(0, 0, 10, 10);
  i.inset(2, 3);
  EXPECT_EQ(i, CRect(2, 3, 8, 7));
  i.extend(2, 3);
  EXPECT_EQ(i, CRect(0, 0, 10, 10));

  CRect m(1, 2, 4, 6);
  m.moveTo(10, 10);
  EXPECT_EQ(m, CRect(10, 10, 13, 14));
  m.centerInside(CRect(0, 0, 13, 14));
  EXPECT_EQ(m, CRect(5, 5, 8, 9));
  EXPECT_EQ(CRect(CPoint(3, 4), CPoint(5, 6)), CRect(3, 4, 8, 10));
}

TEST(GuiGeometry, TransformsComposeAndInvert) {
  CGraphicsTransform t;
  t.translate(10, 20).scale(2, 3);  // translate first, then scale
  CPoint p(1, 1);
  t.transform(p);
  EXPECT_DOUBLE_EQ(p.x, 22);
  EXPECT_DOUBLE_EQ(p.y, 63);
  CPoint back = p;
  t.inverse().transform(back);
  EXPECT_NEAR(back.x, 1, 1e-12);
  EXPECT_NEAR(back.y, 1, 1e-12);

  CGraphicsTransform r;
  r.rotate(90);
  CPoint q(1, 0);
  r.transform(q);
  EXPECT_NEAR(q.x, 0, 1e-12);
  EXPECT_NEAR(q.y, 1, 1e-12) << "positive angles turn clockwise on the y-down screen";

  CRect rect(0, 0, 10, 10);
  CGraphicsTransform().scale(-1, 1).transform(rect);
  EXPECT_EQ(rect, CRect(-10, 0, 0, 10)) << "a transformed rectangle stays normalised";
}
