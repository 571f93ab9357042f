// The animation of one program, as recorded frame by frame inside the
// running program: titles, flexing amplitudes, poses, the actors of the
// scene, the window and the camera.
#include "ProgramExpectations.h"
#include "ProgramHarness.h"
#include "ProgramRecording.h"

#include "vtkMath.h"
#include "vtkMatrix4x4.h"
#include "vtkNew.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace
{
// Rotation by degrees about a unit axis, as a 4x4 matrix.
void RotationMatrix(double degrees, double ax, double ay, double az, vtkMatrix4x4* m)
{
  const double a = vtkMath::RadiansFromDegrees(degrees);
  const double c = std::cos(a), s = std::sin(a), t = 1 - c;
  const double r[3][3] = {
    { t * ax * ax + c, t * ax * ay - s * az, t * ax * az + s * ay },
    { t * ax * ay + s * az, t * ay * ay + c, t * ay * az - s * ax },
    { t * ax * az - s * ay, t * ay * az + s * ax, t * az * az + c },
  };
  m->Identity();
  for (int i = 0; i < 3; ++i)
  {
    for (int j = 0; j < 3; ++j)
    {
      m->SetElement(i, j, r[i][j]);
    }
  }
}

// The pose the fish should have at time t: translation to the trajectory's
// position, its rotation, and (for animation frames) the fixed model turns
// that bring model +y up and model -x forward.
void ExpectedPose(vtkTrajectory* trajectory, float t, bool modelTurns, double out[16])
{
  float x, y, z, angle, ax, ay, az;
  trajectory->Evaluate(t, x, y, z, angle, ax, ay, az);
  vtkNew<vtkMatrix4x4> pose, turn;
  RotationMatrix(angle * 57.295776f, ax, ay, az, pose);
  if (modelTurns)
  {
    vtkNew<vtkMatrix4x4> aboutX, aboutY;
    RotationMatrix(90, 1, 0, 0, aboutX);
    RotationMatrix(180, 0, 1, 0, aboutY);
    vtkMatrix4x4::Multiply4x4(aboutX, aboutY, turn);
    vtkMatrix4x4::Multiply4x4(pose, turn, pose);
  }
  pose->SetElement(0, 3, x);
  pose->SetElement(1, 3, y);
  pose->SetElement(2, 3, z);
  std::copy(pose->GetData(), pose->GetData() + 16, out);
}

std::vector<FrameRecord> AnimationFrames()
{
  std::vector<FrameRecord> frames;
  for (const FrameRecord& f : Recording().Renders)
  {
    if (IsFrameTitle(f.Title))
    {
      frames.push_back(f);
    }
  }
  return frames;
}
} // namespace

TEST(Animation, EndsNormallyAfterTheInteraction)
{
  EXPECT_EQ(Recording().Status, 0);
}

TEST(Animation, WindowSceneAndCamera)
{
  const ProgramExpectation& e = ThisProgram();
  const SceneFacts& scene = Recording().Scene;
  EXPECT_EQ(scene.WindowSize[0], e.Width);
  EXPECT_EQ(scene.WindowSize[1], e.Height);
  EXPECT_TRUE(scene.TexturedFish);
  EXPECT_TRUE(scene.ColouredFish);
  EXPECT_EQ(scene.SceneActors > 2, e.PathShown);
  EXPECT_EQ(scene.SceneActors, e.PathShown ? 4 : 2);
  // Zoom narrows VTK's default 30 degree view angle.
  EXPECT_NEAR(scene.ViewAngle, 30.0 / e.Zoom, 1e-9);
  EXPECT_DOUBLE_EQ(scene.CameraPosition[0], 9.07778);
  EXPECT_DOUBLE_EQ(scene.CameraPosition[1], -7.80113);
  EXPECT_DOUBLE_EQ(scene.CameraPosition[2], 2.72241);
}

TEST(Animation, TenCyclesOfNumberedFrames)
{
  const ProgramExpectation& e = ThisProgram();
  const std::vector<FrameRecord> frames = AnimationFrames();
  ASSERT_EQ(frames.size(), size_t(AnimationCycles) * e.FramesPerCycle);
  for (size_t k = 0; k < frames.size(); ++k)
  {
    char title[16];
    std::snprintf(title, sizeof(title), "%04d", static_cast<int>(k % e.FramesPerCycle));
    ASSERT_EQ(frames[k].Title, title) << "frame " << k;
  }
  EXPECT_EQ(frames.front().Title, "0000");
  EXPECT_EQ(frames.back().Title, e.FramesPerCycle == 320 ? "0319" : "0021");
}

TEST(Animation, AmplitudeIsATriangleWaveRestartingEveryCycle)
{
  const ProgramExpectation& e = ThisProgram();
  const std::vector<FrameRecord> frames = AnimationFrames();
  ASSERT_EQ(frames.size(), size_t(AnimationCycles) * e.FramesPerCycle);
  float largest = 0.0f;
  for (size_t k = 0; k < frames.size(); ++k)
  {
    const int i = static_cast<int>(k % e.FramesPerCycle);
    const double expected = (10 - std::abs(10 - i % 20)) / 11.0;
    ASSERT_NEAR(frames[k].Amplitude, expected, 1e-6) << "frame " << k;
    largest = std::max(largest, frames[k].Amplitude);
  }
  EXPECT_NEAR(largest, 10.0 / 11.0, 1e-6);
  EXPECT_LT(largest, 1.0f);
}

TEST(Animation, FishFollowsTheTrajectory)
{
  const ProgramExpectation& e = ThisProgram();
  const std::vector<FrameRecord> frames = AnimationFrames();
  ASSERT_EQ(frames.size(), size_t(AnimationCycles) * e.FramesPerCycle);
  vtkTrajectory* trajectory = NewTrajectory(e);
  const float step = TimeStep(e);
  // Every frame of the last cycle, at the clock accumulated in single
  // precision.
  const size_t lastCycle = size_t(AnimationCycles - 1) * e.FramesPerCycle;
  float t = 0.0f;
  for (int i = 0; i < e.FramesPerCycle; ++i, t += step)
  {
    double expected[16];
    ExpectedPose(trajectory, t, true, expected);
    for (int m = 0; m < 16; ++m)
    {
      ASSERT_NEAR(frames[lastCycle + i].Pose[m], expected[m], 1e-5) << "frame " << i << " m" << m;
    }
  }
  trajectory->Delete();
}

// Undrawn frames too: the shape filter bends the tail by the frame's
// amplitude, and the pose filter places it by the frame's pose.
TEST(Animation, FishPipelineRunsOnEveryFrame)
{
  const ProgramExpectation& e = ThisProgram();
  const std::vector<FrameRecord> frames = AnimationFrames();
  ASSERT_EQ(frames.size(), size_t(AnimationCycles) * e.FramesPerCycle);
  // The tail's displacement at the largest amplitude, 10/11, of frame 10.
  const FrameRecord& widest = frames[10];
  double full[3];
  for (int c = 0; c < 3; ++c)
  {
    full[c] = (widest.TailBent[c] - widest.TailAsRead[c]) / widest.Amplitude;
  }
  ASSERT_GT(std::hypot(full[0], full[1], full[2]), 0.05) << "the tail does not bend";
  for (size_t k = 0; k < frames.size(); ++k)
  {
    const FrameRecord& f = frames[k];
    for (int c = 0; c < 3; ++c)
    {
      ASSERT_NEAR(f.TailBent[c], f.TailAsRead[c] + f.Amplitude * full[c], 1e-5) << "frame " << k;
    }
    const double bent[4] = { f.TailBent[0], f.TailBent[1], f.TailBent[2], 1.0 };
    double posed[4];
    vtkMatrix4x4::MultiplyPoint(f.Pose, bent, posed);
    for (int c = 0; c < 3; ++c)
    {
      ASSERT_NEAR(f.TailPosed[c], posed[c], 1e-4) << "frame " << k;
    }
  }
}

TEST(Animation, FirstPictureShowsTheStartPoseWithoutModelTurns)
{
  const ProgramExpectation& e = ThisProgram();
  const std::vector<FrameRecord>& renders = Recording().Renders;
  // The render before the first numbered frame.
  size_t first = 0;
  while (first < renders.size() && !IsFrameTitle(renders[first].Title))
  {
    ++first;
  }
  ASSERT_GE(first, 1u);
  vtkTrajectory* trajectory = NewTrajectory(e);
  double expected[16];
  ExpectedPose(trajectory, 0.0f, false, expected);
  for (int m = 0; m < 16; ++m)
  {
    EXPECT_NEAR(renders[first - 1].Pose[m], expected[m], 1e-5) << "m" << m;
  }
  EXPECT_EQ(renders[first - 1].Amplitude, 0.0f);
  trajectory->Delete();
}
