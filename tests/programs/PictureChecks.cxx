// What the window shows during the animation of one program: the fish where
// its pose puts it, lying along its heading, over the picture; the path tube
// only where the program shows the path; a flexing tail.
#include "ProgramExpectations.h"
#include "ProgramRecording.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace
{
const std::string Program = ProgramUnderTest();

// Length of the fish's centre line on screen.
double FishLength(const FramePicture& p)
{
  return std::hypot(p.TailEnd[0] - p.HeadEnd[0], p.TailEnd[1] - p.HeadEnd[1]);
}

// Whether the fish's projected ends and middle lie well inside the window.
bool WellInside(const FramePicture& p)
{
  const double margin = 0.1 * FishLength(p); // fins and tail reach past the ends
  for (const auto& point : { p.HeadEnd, p.TailEnd, p.Middle })
  {
    if (point[0] < margin || point[1] < margin || point[0] > p.Width - margin ||
      point[1] > p.Height - margin)
    {
      return false;
    }
  }
  return true;
}

struct MaskShape
{
  int Pixels = 0;
  double Centre[2] = { 0, 0 };
  double AxisAngle = 0;  // direction of the longest extent, radians in [0, pi)
  double Elongation = 0; // ratio of the two principal extents
};

MaskShape ShapeOf(const FramePicture& p)
{
  MaskShape shape;
  double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
  for (int y = 0; y < p.Height; ++y)
  {
    for (int x = 0; x < p.Width; ++x)
    {
      if (p.Fish[y * p.Width + x])
      {
        ++shape.Pixels;
        sx += x;
        sy += y;
        sxx += double(x) * x;
        syy += double(y) * y;
        sxy += double(x) * y;
      }
    }
  }
  if (shape.Pixels == 0)
  {
    return shape;
  }
  const double n = shape.Pixels;
  shape.Centre[0] = sx / n;
  shape.Centre[1] = sy / n;
  const double cxx = sxx / n - shape.Centre[0] * shape.Centre[0];
  const double cyy = syy / n - shape.Centre[1] * shape.Centre[1];
  const double cxy = sxy / n - shape.Centre[0] * shape.Centre[1];
  shape.AxisAngle = std::fmod(0.5 * std::atan2(2 * cxy, cxx - cyy) + M_PI, M_PI);
  const double spread = std::sqrt((cxx - cyy) * (cxx - cyy) + 4 * cxy * cxy);
  shape.Elongation = std::sqrt((cxx + cyy + spread) / std::max(cxx + cyy - spread, 1e-9));
  return shape;
}

double AngleBetweenLines(double a, double b)
{
  const double d = std::fmod(std::fabs(a - b), M_PI);
  return std::min(d, M_PI - d);
}

} // namespace

TEST(FishPictures, FishSitsAtItsPoseAndLiesAlongItsHeading)
{
  const ProgramRecording& recording = Recording();
  ASSERT_EQ(recording.Status, 0);
  ASSERT_EQ(recording.Pictures.size(), CapturedFrames().size());
  int checked = 0;
  for (const auto& [frame, picture] : recording.Pictures)
  {
    SCOPED_TRACE("frame " + std::to_string(frame));
    if (!WellInside(picture))
    {
      continue; // the window's edge cuts the fish: its pixels say little
    }
    ++checked;
    const MaskShape shape = ShapeOf(picture);
    ASSERT_GT(shape.Pixels, 300) << "no fish to be seen";
    // The fish's pixels gather round the projected middle of its body (fins
    // and bend pull them a little away from it).
    EXPECT_LT(std::hypot(shape.Centre[0] - picture.Middle[0], shape.Centre[1] - picture.Middle[1]),
      0.15 * FishLength(picture));
    // Its long axis on screen runs from the projected snout to the tail.
    const double heading =
      std::atan2(picture.TailEnd[1] - picture.HeadEnd[1], picture.TailEnd[0] - picture.HeadEnd[0]);
    EXPECT_GT(shape.Elongation, 1.8);
    EXPECT_LT(AngleBetweenLines(shape.AxisAngle, heading), 15.0 * M_PI / 180.0);
  }
  EXPECT_GE(checked, 2);
}

TEST(FishPictures, PathTubeOnlyWhereThePathIsShown)
{
  ASSERT_EQ(Recording().Status, 0);
  // Without the fish, a window without the path shows the picture alone;
  // the tube and the markers cover a few thousand pixels.
  const int pathPixels = Recording().Pictures.at(0).PathPixels;
  if (ThisProgram().PathShown)
  {
    EXPECT_GT(pathPixels, 1500);
  }
  else
  {
    EXPECT_EQ(pathPixels, 0);
  }
}

TEST(FishPictures, TailFlexesWhileTheHeadHoldsStill)
{
  ASSERT_EQ(Recording().Status, 0);
  if (Program != "moorwhisk")
  {
    GTEST_SKIP() << "the fish only holds still in moorwhisk";
  }
  const FramePicture& unbent = Recording().Pictures.at(0); // amplitude 0
  const FramePicture& bent = Recording().Pictures.at(10);  // amplitude 10/11
  // The fish holds its place at the window's centre.
  const MaskShape a = ShapeOf(unbent), b = ShapeOf(bent);
  EXPECT_NEAR(unbent.Origin[0], unbent.Width / 2.0, 3);
  EXPECT_NEAR(unbent.Origin[1], unbent.Height / 2.0, 3);
  EXPECT_LT(std::hypot(a.Centre[0] - unbent.Middle[0], a.Centre[1] - unbent.Middle[1]),
    0.15 * FishLength(unbent));
  // Pixels that the bend changes, near the head and near the tail.
  const double radius = 0.25 * FishLength(unbent);
  int nearHead = 0, nearTail = 0;
  for (int y = 0; y < unbent.Height; ++y)
  {
    for (int x = 0; x < unbent.Width; ++x)
    {
      const int i = y * unbent.Width + x;
      if (unbent.Fish[i] == bent.Fish[i])
      {
        continue;
      }
      nearHead += std::hypot(x - unbent.HeadEnd[0], y - unbent.HeadEnd[1]) < radius ? 1 : 0;
      nearTail += std::hypot(x - unbent.TailEnd[0], y - unbent.TailEnd[1]) < radius ? 1 : 0;
    }
  }
  EXPECT_GT(nearTail, 200) << "the tail does not move";
  EXPECT_LT(nearHead, nearTail / 10) << "the head moves with the tail";
  EXPECT_GT(b.Pixels, 300);
}
