#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "source/editor/EnvelopeTrace.h"
#include "source/editor/PeakMeters.h"
#include "source/editor/ScopeTrace.h"

namespace {

using skarvel::EnvelopeTrace;
using skarvel::PeakMeters;
using skarvel::ScopeTrace;

// ---- oscilloscope -------------------------------------------------------------------------

TEST(ScopeTrace, ShowsARampUntilTheFirstHandOver) {
  ScopeTrace scope;
  EXPECT_FLOAT_EQ(scope.sample(0), -1.0f);
  EXPECT_FLOAT_EQ(scope.sample(4095), 1.0f);
  EXPECT_NEAR(scope.sample(2048), 0.0f, 0.001f);
}

TEST(ScopeTrace, HandOverCopiesTheRingOldestFirstAcrossTheWrap) {
  std::vector<float> ring(4096);
  for (int i = 0; i < 4096; ++i) ring[i] = static_cast<float>(i);
  ScopeTrace scope;
  scope.handOver(ring.data(), 4000);  // next write goes to 4000: that sample is the oldest
  EXPECT_EQ(scope.sample(0), 4000.0f);
  EXPECT_EQ(scope.sample(95), 4095.0f);
  EXPECT_EQ(scope.sample(96), 0.0f);  // no gap or repeat at the ring's end
  EXPECT_EQ(scope.sample(4095), 3999.0f);
  scope.handOver(ring.data(), 4096 + 10);  // an index past the ring still reads inside it
  EXPECT_EQ(scope.sample(0), 10.0f);
}

TEST(ScopeTrace, ZoomSelectsHowMuchOfTheRingTheColumnsSpan) {
  const int width = 201;
  for (int column : {0, 1, 100, 200}) EXPECT_EQ(ScopeTrace::indexForColumn(column, width, 0.0f), 0u);
  EXPECT_EQ(ScopeTrace::indexForColumn(100, width, 1.0f), 2048u);
  // The newest sample sits in the last column at full zoom, not the oldest one again.
  EXPECT_EQ(ScopeTrace::indexForColumn(200, width, 1.0f), 4095u);
  // Half zoom shows a quarter of the ring.
  EXPECT_EQ(ScopeTrace::indexForColumn(200, width, 0.5f), 1024u);
  // A one-column view does not divide by zero.
  EXPECT_EQ(ScopeTrace::indexForColumn(0, 1, 1.0f), 0u);
}

TEST(ScopeTrace, SamplesLieBetweenTheClipLinesPositiveUpwards) {
  const double top = 10.0, h = 86.0;
  EXPECT_NEAR(ScopeTrace::yForSample(-1.0f, top, h), top + 0.98 * h - 1.0, 1e-9);
  EXPECT_NEAR(ScopeTrace::yForSample(1.0f, top, h), top + 0.02 * h + 1.0, 1e-9);
  EXPECT_LT(ScopeTrace::yForSample(0.5f, top, h), ScopeTrace::yForSample(0.0f, top, h));
  // Overloads and broken samples stay inside the display.
  EXPECT_EQ(ScopeTrace::yForSample(7.0f, top, h), ScopeTrace::yForSample(1.0f, top, h));
  EXPECT_EQ(ScopeTrace::yForSample(NAN, top, h), ScopeTrace::yForSample(0.0f, top, h));
  EXPECT_EQ(ScopeTrace::yForSample(-INFINITY, top, h), ScopeTrace::yForSample(-1.0f, top, h));
}

// ---- peak meters ---------------------------------------------------------------------------

TEST(PeakMeters, LevelFallsByATenthPerRedrawTowardsTheLastPeak) {
  PeakMeters meters;
  meters.resetHolds(86.0);
  meters.setPeaks(0.9f, 0.2f);
  meters.advance(0.0, 86.0);
  EXPECT_FLOAT_EQ(meters.shownLevel(0), 0.9f);
  meters.setPeaks(0.0f, 0.5f);
  meters.advance(0.0, 86.0);
  EXPECT_NEAR(meters.shownLevel(0), 0.8f, 1e-6);
  EXPECT_FLOAT_EQ(meters.shownLevel(1), 0.5f);
  for (int i = 0; i < 20; ++i) meters.advance(0.0, 86.0);
  EXPECT_EQ(meters.shownLevel(0), 0.0f);
  EXPECT_FLOAT_EQ(meters.shownLevel(1), 0.5f);  // held up by the peak still handed over
}

TEST(PeakMeters, PeaksAreClampedAndBrokenOnesCountAsSilence) {
  PeakMeters meters;
  meters.setPeaks(3.0f, NAN);
  EXPECT_EQ(meters.peak(0), 1.0f);
  EXPECT_EQ(meters.peak(1), 0.0f);
  meters.setPeaks(-0.5f, INFINITY);
  EXPECT_EQ(meters.peak(0), 0.0f);
  EXPECT_EQ(meters.peak(1), 1.0f);
}

TEST(PeakMeters, HoldRisesWithTheBarNeverFallsAndResetsToTheBottom) {
  PeakMeters meters;
  meters.resetHolds(86.0);
  EXPECT_EQ(meters.hold(0), 84.0);
  meters.advance(0.0, 86.0);  // silence: the hold stays at the bottom
  EXPECT_EQ(meters.hold(0), 84.0);

  meters.setPeaks(0.5f, 0.0f);
  meters.advance(0.0, 86.0);
  const double top = meters.barTop(0, 0.0, 86.0);
  EXPECT_EQ(meters.hold(0), top + 1.0);
  EXPECT_EQ(meters.hold(1), 84.0);

  meters.setPeaks(0.1f, 0.0f);
  for (int i = 0; i < 10; ++i) meters.advance(0.0, 86.0);
  EXPECT_EQ(meters.hold(0), top + 1.0);  // the bar fell, the hold did not

  meters.resetHolds(86.0);
  EXPECT_EQ(meters.hold(0), 84.0);
}

// ---- envelope drawing ----------------------------------------------------------------------

std::vector<EnvelopeTrace::Point> traceOf(float a, float d, float s, float r, double width = 311,
                                          double height = 83) {
  EnvelopeTrace trace;
  trace.setAttack(a);
  trace.setDecay(d);
  trace.setSustain(s);
  trace.setRelease(r);
  std::vector<EnvelopeTrace::Point> points;
  trace.trace(0.0, 0.0, width, height, points);
  return points;
}

TEST(EnvelopeTrace, AppliesTheDrawingsOwnOffsets) {
  EnvelopeTrace trace;
  trace.setAttack(0.001f);
  trace.setSustain(0.5f);
  trace.setSustain(-0.5f);
  EXPECT_FLOAT_EQ(trace.attack(), 0.051f);
  EXPECT_EQ(trace.sustain(), 0.0f);
  trace.setSustain(0.25f);
  EXPECT_FLOAT_EQ(trace.sustain(), 0.251f);
}

TEST(EnvelopeTrace, RisesToTheTopHoldsTheSustainAndFallsAfterTheMiddle) {
  const double height = 83.0;
  const int H = 78;
  const auto points = traceOf(0.001f, 0.01f, 0.5f, 0.1f);
  ASSERT_GT(points.size(), 3u);
  EXPECT_EQ(points[0].x, 2.0);
  EXPECT_EQ(points[0].y, height - 5.0);
  double highest = 1e9;
  for (const auto& p : points) highest = std::min(highest, p.y);
  EXPECT_NEAR(highest, 1.0, 0.5);  // level 1 reaches top + 1
  // Just before the release (x = 311 / 2 + 10 = 165) the line sits at the sustain level.
  const auto& held = points[165 - 2];
  EXPECT_EQ(held.x, 164.0);
  EXPECT_NEAR(held.y, H - 0.501 * H + 1.0, 0.01);
  // A short release reaches silence well before the right edge, and the drawing stops there.
  EXPECT_LT(points.back().x, 240.0);
  EXPECT_NEAR(points.back().y, H + 1.0, 0.01);
}

TEST(EnvelopeTrace, LongSettingsRunToTheRightEdge) {
  const auto points = traceOf(2.001f, 2.01f, 1.0f, 2.0f);
  EXPECT_EQ(points.back().x, 310.0);  // x runs up to width - 1
  for (const auto& p : points) {
    EXPECT_GE(p.y, 0.0);
    EXPECT_LE(p.y, 83.0);
  }
}

TEST(EnvelopeTrace, ZeroSustainEndsTheDrawingAtTheEndOfTheDecay) {
  EnvelopeTrace trace;
  trace.setAttack(0.001f);
  trace.setDecay(0.05f);
  trace.setSustain(-1.0f);  // shown as 0: the decay runs out
  trace.setRelease(2.0f);
  std::vector<EnvelopeTrace::Point> points;
  const int releaseAt = trace.trace(0.0, 0.0, 311.0, 83.0, points);
  EXPECT_LT(points.back().x, releaseAt);
}

TEST(EnvelopeTrace, DegenerateSizesAndSettingsDrawNothingOrStayFinite) {
  EXPECT_TRUE(traceOf(0.5f, 0.5f, 0.5f, 0.5f, 0.0, 83.0).empty());
  EXPECT_TRUE(traceOf(0.5f, 0.5f, 0.5f, 0.5f, 311.0, 4.0).empty());
  for (const auto& p : traceOf(NAN, -1.0f, NAN, 0.0f)) {
    EXPECT_TRUE(std::isfinite(p.x));
    EXPECT_TRUE(std::isfinite(p.y));
  }
}

}  // namespace
