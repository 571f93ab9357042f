// The orientation track of vtkTrajectory: keyframe rotations through the
// Kochanek rotation spline and back to angle and axis.

#include "KeyFrameTables.h"
#include "RotationTestSupport.h"

#include "vtkRotationSpline.h"
#include "vtkTrajectory.h"

#include "vtkNew.h"

#include <cfloat>
#include <cmath>
#include <string>

namespace
{
/**
 * A trajectory that shows its rotation spline.
 */
class TrajectoryProbe : public vtkTrajectory
{
public:
  static TrajectoryProbe* New();
  vtkRotationSpline* GetRotationSpline() { return this->RotationSpline; }
};
vtkStandardNewMacro(TrajectoryProbe);

struct Pose
{
  float X, Y, Z, Angle, Axis[3];
};

Pose PoseAt(vtkTrajectory* trajectory, float t)
{
  Pose p;
  trajectory->Evaluate(t, p.X, p.Y, p.Z, p.Angle, p.Axis);
  return p;
}

template <typename TTrajectory>
vtkSmartPointer<TTrajectory> FigureEightTrajectory()
{
  vtkSmartPointer<TTrajectory> trajectory = vtkSmartPointer<TTrajectory>::New();
  for (const KeyFrameRow& k : FigureEightTable)
  {
    trajectory->AddKeyFrame(k.Time, k.X, k.Y, k.Z, k.Angle, 0.0f, 0.0f, 1.0f);
  }
  trajectory->ClosedOn();
  return trajectory;
}

// Angles come from 2 acos(w) of rotations interpolated in single precision:
// an ulp or two in w, divided by sin(angle / 2) >= 0.7 here, about two ulps
// of the largest angle (4.7).
const double AngleTolerance = 8 * FLT_EPSILON;
const double AxisTolerance = 4 * FLT_EPSILON;

void ExpectRotation(const Pose& p, double angle, float ax, float ay, float az)
{
  EXPECT_NEAR(p.Angle, angle, AngleTolerance);
  EXPECT_NEAR(p.Axis[0], ax, AxisTolerance);
  EXPECT_NEAR(p.Axis[1], ay, AxisTolerance);
  EXPECT_NEAR(p.Axis[2], az, AxisTolerance);
}
}

struct NormalisedKeyCase
{
  int Index;
  double Angle;
  float Axis[3];
};

class TrajectoryOrientationAtKeyFrames : public ::testing::TestWithParam<NormalisedKeyCase>
{
};

TEST_P(TrajectoryOrientationAtKeyFrames, AreTheKeyFramesInNormalisedForm)
{
  const NormalisedKeyCase& c = GetParam();
  vtkSmartPointer<vtkTrajectory> trajectory = FigureEightTrajectory<vtkTrajectory>();
  Pose p;
  trajectory->EvaluateAtKeyFrame(c.Index, p.X, p.Y, p.Z, p.Angle, p.Axis[0], p.Axis[1], p.Axis[2]);
  ExpectRotation(p, c.Angle, c.Axis[0], c.Axis[1], c.Axis[2]);
}

// Negative angles about (0, 0, 1) come back positive about (0, 0, -1); an
// angle of 0 comes back about (1, 0, 0), whatever axis it was given with.
INSTANTIATE_TEST_SUITE_P(FigureEight, TrajectoryOrientationAtKeyFrames,
  ::testing::Values(NormalisedKeyCase{ 0, 0.0, { 1, 0, 0 } },
    NormalisedKeyCase{ 1, 1.570795f, { 0, 0, 1 } }, NormalisedKeyCase{ 2, 0.0, { 1, 0, 0 } },
    NormalisedKeyCase{ 3, 1.570795f, { 0, 0, -1 } },
    NormalisedKeyCase{ 4, 3.141592f, { 0, 0, -1 } },
    NormalisedKeyCase{ 5, 4.712388f, { 0, 0, -1 } },
    NormalisedKeyCase{ 6, 3.141592f, { 0, 0, -1 } },
    NormalisedKeyCase{ 7, 1.570795f, { 0, 0, -1 } }));

TEST(TrajectoryOrientation, ClosedPathReturnsToTheFirstRotation)
{
  vtkSmartPointer<vtkTrajectory> trajectory = FigureEightTrajectory<vtkTrajectory>();
  ExpectRotation(PoseAt(trajectory, 8.0f), 0.0, 1, 0, 0);
  // The program's last frame lies just before the end of the closing segment.
  float t = 0.0f;
  for (int i = 0; i < 319; ++i)
  {
    t += 8.0f / 319;
  }
  const Pose nearEnd = PoseAt(trajectory, t);
  // Near the identity 2 acos(w) resolves angles only to about 1e-3.
  EXPECT_LT(nearEnd.Angle, 2e-3);
}

TEST(TrajectoryOrientation, OpenPathHoldsTheLastRotation)
{
  vtkSmartPointer<vtkTrajectory> trajectory = vtkSmartPointer<vtkTrajectory>::New();
  for (const KeyFrameRow& k : FigureEightTable)
  {
    trajectory->AddKeyFrame(k.Time, k.X, k.Y, k.Z, k.Angle, 0.0f, 0.0f, 1.0f);
  }
  ExpectRotation(PoseAt(trajectory, 7.5f), 1.570795f, 0, 0, -1);
  trajectory->SetClosed(1);
  const Pose closing = PoseAt(trajectory, 7.5f);
  EXPECT_GT(std::fabs(closing.Angle - 1.570795f), 0.1);
}

TEST(TrajectoryOrientation, AngleIsNeverNegative)
{
  vtkSmartPointer<vtkTrajectory> trajectory = FigureEightTrajectory<vtkTrajectory>();
  for (int i = 0; i < 320; ++i)
  {
    const float t = i * (8.0f / 319);
    const Pose p = PoseAt(trajectory, t);
    ASSERT_GE(p.Angle, 0.0f) << "t = " << t;
    ASSERT_LE(p.Angle, 2 * 3.14159265f) << "t = " << t;
    const double axisLength =
      std::sqrt(p.Axis[0] * p.Axis[0] + p.Axis[1] * p.Axis[1] + p.Axis[2] * p.Axis[2]);
    ASSERT_NEAR(axisLength, 1.0, AxisTolerance) << "t = " << t;
  }
}

TEST(TrajectoryOrientation, SingleKeyFrameGivesItsRotationAsPassed)
{
  vtkSmartPointer<vtkTrajectory> trajectory = vtkSmartPointer<vtkTrajectory>::New();
  ErrorCapture capture;
  trajectory->AddKeyFrame(2.0f, 1.0f, 2.0f, 3.0f, -0.75f, 0.0f, 3.0f, -4.0f);
  for (float t : { -1.0f, 2.0f, 9.0f })
  {
    const Pose p = PoseAt(trajectory, t);
    EXPECT_EQ(p.Angle, -0.75f);
    EXPECT_EQ(p.Axis[0], 0.0f);
    EXPECT_EQ(p.Axis[1], 3.0f);
    EXPECT_EQ(p.Axis[2], -4.0f);
  }
  // The rotation spline, which has one key, is not asked.
  EXPECT_TRUE(capture.Errors().empty());
}

TEST(TrajectoryOrientation, NoKeyFrameReportsTheSplinesErrorAndGivesNoRotation)
{
  vtkSmartPointer<vtkTrajectory> trajectory = vtkSmartPointer<vtkTrajectory>::New();
  ErrorCapture capture;
  const Pose p = PoseAt(trajectory, 0.5f);
  ExpectRotation(p, 0.0, 1, 0, 0);
  // The position splines report their own errors; the rotation spline
  // reports one.
  int rotationErrors = 0;
  for (const std::string& text : capture.Errors())
  {
    if (text.find("vtkKochanekRotationSpline (") != std::string::npos)
    {
      ++rotationErrors;
      EXPECT_NE(
        text.find("Cannot evaluate a spline with less than 2 points. Number of points is: 0\n"),
        std::string::npos)
        << text;
    }
  }
  EXPECT_EQ(rotationErrors, 1);
}

TEST(TrajectoryOrientation, RepeatedTimeKeepsTheFirstRotation)
{
  vtkSmartPointer<vtkTrajectory> trajectory = vtkSmartPointer<vtkTrajectory>::New();
  trajectory->AddKeyFrame(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f);
  trajectory->AddKeyFrame(1.0f, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f);
  trajectory->AddKeyFrame(1.0f, 5.0f, 0.0f, 0.0f, 2.5f, 1.0f, 0.0f, 0.0f);
  EXPECT_EQ(trajectory->GetNumberOfKeyFrames(), 2);
  ExpectRotation(PoseAt(trajectory, 1.0f), 1.0f, 0, 0, 1);
}

TEST(TrajectoryOrientation, RotationTrackIsAKochanekSplineMadeThroughTheFactory)
{
  {
    vtkSmartPointer<TrajectoryProbe> trajectory = vtkSmartPointer<TrajectoryProbe>::New();
    EXPECT_STREQ(trajectory->GetRotationSpline()->GetClassName(), "vtkKochanekRotationSpline");
  }
  ProbeFactoryRegistration registration;
  vtkSmartPointer<TrajectoryProbe> trajectory = vtkSmartPointer<TrajectoryProbe>::New();
  EXPECT_STREQ(trajectory->GetRotationSpline()->GetClassName(), "KochanekProbe");
}

TEST(TrajectoryOrientation, ClosedFlagAndModificationTimeReachTheRotationTrack)
{
  vtkSmartPointer<TrajectoryProbe> trajectory = vtkSmartPointer<TrajectoryProbe>::New();
  vtkRotationSpline* rotation = trajectory->GetRotationSpline();
  trajectory->ClosedOn();
  EXPECT_EQ(rotation->GetClosed(), 1);
  trajectory->SetClosed(0);
  EXPECT_EQ(rotation->GetClosed(), 0);

  rotation->Modified();
  EXPECT_EQ(trajectory->GetMTime(), rotation->GetMTime());
}

// Keys a few hundredths of a radian apart: the interpolated rotations lie
// so close to the identity that rounding can push W past 1, which must
// still give a finite angle.
TEST(TrajectoryOrientation, SmallTurnsGiveFiniteAngles)
{
  vtkNew<vtkTrajectory> trajectory;
  const float angles[] = { 0.0f, 0.02f, 0.05f, 0.03f, 0.01f, -0.02f, 0.04f, 0.0f };
  for (int i = 0; i < 8; ++i)
  {
    trajectory->AddKeyFrame(static_cast<float>(i), 0, 0, 0, angles[i], 0.3f, 0.4f, 1.0f);
  }
  trajectory->ClosedOn();
  for (int k = 0; k <= 80000; ++k)
  {
    float x, y, z, angle, axis[3];
    trajectory->Evaluate(k * 1e-4f, x, y, z, angle, axis);
    ASSERT_TRUE(std::isfinite(angle)) << "at t = " << k * 1e-4f;
    ASSERT_LT(angle, 0.1f) << "at t = " << k * 1e-4f;
  }
}
