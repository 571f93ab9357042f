// Unit tests of vtkTrajectory's keyframes and position track: creation
// through the object factory, the single-keyframe pose, keyframe order and
// times, the closed flag, the modification time and the closing segment.

#include "vtkTrajectory.h"

#include "vtkKochanekSpline.h"
#include "vtkNew.h"
#include "vtkObjectFactory.h"
#include "vtkSmartPointer.h"
#include "vtkVersionMacros.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

namespace
{

struct Pose
{
  float X, Y, Z, Angle, Axis[3];
};

Pose EvaluateSeven(vtkTrajectory* trajectory, float t)
{
  Pose p;
  trajectory->Evaluate(t, p.X, p.Y, p.Z, p.Angle, p.Axis[0], p.Axis[1], p.Axis[2]);
  return p;
}

Pose EvaluateWithArray(vtkTrajectory* trajectory, float t)
{
  Pose p;
  trajectory->Evaluate(t, p.X, p.Y, p.Z, p.Angle, p.Axis);
  return p;
}

Pose EvaluateAtKeyFrame(vtkTrajectory* trajectory, int i)
{
  Pose p;
  trajectory->EvaluateAtKeyFrame(i, p.X, p.Y, p.Z, p.Angle, p.Axis[0], p.Axis[1], p.Axis[2]);
  return p;
}

// The pose as given, bit for bit.
void ExpectExactPose(const Pose& actual, const Pose& expected)
{
  EXPECT_EQ(actual.X, expected.X);
  EXPECT_EQ(actual.Y, expected.Y);
  EXPECT_EQ(actual.Z, expected.Z);
  EXPECT_EQ(actual.Angle, expected.Angle);
  EXPECT_EQ(actual.Axis[0], expected.Axis[0]);
  EXPECT_EQ(actual.Axis[1], expected.Axis[1]);
  EXPECT_EQ(actual.Axis[2], expected.Axis[2]);
}

const float PositionTolerance = 1e-5f;

void ExpectPosition(const Pose& actual, const float expected[3])
{
  EXPECT_NEAR(actual.X, expected[0], PositionTolerance);
  EXPECT_NEAR(actual.Y, expected[1], PositionTolerance);
  EXPECT_NEAR(actual.Z, expected[2], PositionTolerance);
}

//------------------------------------------------------------------------------
TEST(Trajectory, ReportsTheBaseClassName)
{
  vtkNew<vtkTrajectory> trajectory;
  EXPECT_STREQ(trajectory->GetClassName(), "vtkObject");
  EXPECT_TRUE(trajectory->IsA("vtkObject"));
  EXPECT_FALSE(trajectory->IsA("vtkTrajectory"));
}

// A trajectory of the tests' own, which shows its position splines; a
// factory offers it for "vtkTrajectory".
class TrajectoryOverride : public vtkTrajectory
{
public:
  static TrajectoryOverride* Create()
  {
    TrajectoryOverride* trajectory = new TrajectoryOverride;
    trajectory->InitializeObjectBase();
    return trajectory;
  }

  vtkKochanekSpline* GetPositionSpline(int coordinate) const
  {
    vtkKochanekSpline* const splines[3] = { this->XSpline, this->YSpline, this->ZSpline };
    return splines[coordinate];
  }
};

vtkObject* CreateTrajectoryOverride()
{
  return TrajectoryOverride::Create();
}

class TrajectoryOverrideFactory : public vtkObjectFactory
{
public:
  static TrajectoryOverrideFactory* New()
  {
    TrajectoryOverrideFactory* factory = new TrajectoryOverrideFactory;
    factory->InitializeObjectBase();
    return factory;
  }
  const char* GetVTKSourceVersion() override { return VTK_SOURCE_VERSION; }
  const char* GetDescription() override { return "trajectory test factory"; }

protected:
  TrajectoryOverrideFactory()
  {
    this->RegisterOverride("vtkTrajectory", "TrajectoryOverride", "trajectory test override", 1,
      CreateTrajectoryOverride);
  }
};

TEST(Trajectory, NewTakesTheObjectFactoryOverride)
{
  vtkNew<TrajectoryOverrideFactory> factory;
  vtkObjectFactory::RegisterFactory(factory);
  vtkTrajectory* overridden = vtkTrajectory::New();
  vtkObjectFactory::UnRegisterFactory(factory);
  vtkTrajectory* plain = vtkTrajectory::New();

  EXPECT_NE(dynamic_cast<TrajectoryOverride*>(overridden), nullptr);
  EXPECT_EQ(dynamic_cast<TrajectoryOverride*>(plain), nullptr);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->GetNumberOfKeyFrames(), 0);
  overridden->Delete();
  plain->Delete();
}

//------------------------------------------------------------------------------
TEST(Trajectory, WithoutKeyFramesEveryKeyFrameTimeIsZero)
{
  vtkNew<vtkTrajectory> trajectory;
  EXPECT_EQ(trajectory->GetNumberOfKeyFrames(), 0);
  for (int i : { 0, 1, -1, INT_MAX, INT_MIN })
  {
    EXPECT_EQ(trajectory->GetKeyFrameTime(i), 0.0f) << "index " << i;
  }
}

// One keyframe at time 2 with a rotation axis of length 5: its pose comes
// back as given at every time and every keyframe index, open or closed.
class TrajectorySingleKeyFrame : public ::testing::Test
{
protected:
  void SetUp() override
  {
    this->Trajectory->AddKeyFrame(2.0f, 1.0f, 2.0f, 3.0f, 0.5f, 0.0f, 3.0f, 4.0f);
  }

  void ExpectEverywhere(const Pose& expected)
  {
    for (float t : { 2.0f, 0.0f, -100.0f, 1.999f, 2.5f, 3.0f, 1e6f })
    {
      SCOPED_TRACE(testing::Message() << "t = " << t);
      ExpectExactPose(EvaluateSeven(this->Trajectory, t), expected);
      ExpectExactPose(EvaluateWithArray(this->Trajectory, t), expected);
    }
    for (int i : { 0, 1, -1, 7, INT_MIN, INT_MAX })
    {
      SCOPED_TRACE(testing::Message() << "keyframe " << i);
      ExpectExactPose(EvaluateAtKeyFrame(this->Trajectory, i), expected);
    }
  }

  vtkNew<vtkTrajectory> Trajectory;
};

TEST_F(TrajectorySingleKeyFrame, PoseIsTheKeyFrameAtEveryTime)
{
  EXPECT_EQ(this->Trajectory->GetNumberOfKeyFrames(), 1);
  this->ExpectEverywhere({ 1.0f, 2.0f, 3.0f, 0.5f, { 0.0f, 3.0f, 4.0f } });
  this->Trajectory->ClosedOn();
  this->ExpectEverywhere({ 1.0f, 2.0f, 3.0f, 0.5f, { 0.0f, 3.0f, 4.0f } });
}

TEST_F(TrajectorySingleKeyFrame, AKeyFrameAtTheSameTimeReplacesThePose)
{
  const float axis[3] = { 1.0f, 0.0f, 0.0f };
  this->Trajectory->AddKeyFrame(2.0f, -4.0f, 5.0f, -6.0f, -1.25f, axis);
  EXPECT_EQ(this->Trajectory->GetNumberOfKeyFrames(), 1);
  EXPECT_EQ(this->Trajectory->GetKeyFrameTime(0), 2.0f);
  this->ExpectEverywhere({ -4.0f, 5.0f, -6.0f, -1.25f, { 1.0f, 0.0f, 0.0f } });
}

//------------------------------------------------------------------------------
// Keyframes added out of time order are counted and indexed by time, and
// the position track passes through each of them.
TEST(Trajectory, KeyFramesAreIndexedInTimeOrder)
{
  vtkNew<vtkTrajectory> trajectory;
  trajectory->AddKeyFrame(3.0f, 7.0f, 8.0f, 9.0f, 0.0f, 0.0f, 0.0f, 1.0f);
  trajectory->AddKeyFrame(1.0f, 1.0f, 2.0f, 3.0f, 0.0f, 0.0f, 0.0f, 1.0f);
  trajectory->AddKeyFrame(2.0f, 4.0f, -5.0f, 6.0f, 0.0f, 0.0f, 0.0f, 1.0f);
  ASSERT_EQ(trajectory->GetNumberOfKeyFrames(), 3);

  const float first[3] = { 1.0f, 2.0f, 3.0f };
  const float middle[3] = { 4.0f, -5.0f, 6.0f };
  const float last[3] = { 7.0f, 8.0f, 9.0f };
  struct
  {
    int Index;
    float Time;
    const float* Position;
  } const rows[] = {
    { 0, 1.0f, first },
    { 1, 2.0f, middle },
    { 2, 3.0f, last },
    { 3, 1.0f, first }, // past the end: the first keyframe
    { 100, 1.0f, first },
    { INT_MAX, 1.0f, first },
    { -1, 3.0f, last }, // before the start: the last keyframe
    { -7, 3.0f, last },
    { INT_MIN, 3.0f, last },
  };
  for (const auto& row : rows)
  {
    SCOPED_TRACE(testing::Message() << "keyframe " << row.Index);
    EXPECT_EQ(trajectory->GetKeyFrameTime(row.Index), row.Time);
    ExpectPosition(EvaluateAtKeyFrame(trajectory, row.Index), row.Position);
  }
}

//------------------------------------------------------------------------------
TEST(Trajectory, ClosedFlag)
{
  vtkNew<vtkTrajectory> trajectory;
  EXPECT_EQ(trajectory->GetClosed(), 0);
  trajectory->ClosedOn();
  EXPECT_EQ(trajectory->GetClosed(), 1);
  trajectory->SetClosed(0);
  EXPECT_EQ(trajectory->GetClosed(), 0);
  trajectory->SetClosed(1);
  EXPECT_EQ(trajectory->GetClosed(), 1);
}

// The modification time follows the tracks, not the trajectory's own stamp,
// which no operation of the trajectory touches.
TEST(Trajectory, ModificationTimeFollowsTheTracks)
{
  vtkNew<vtkTrajectory> trajectory;
  const vtkMTimeType ownStamp = trajectory->vtkObject::GetMTime();
  const vtkMTimeType created = trajectory->GetMTime();

  trajectory->AddKeyFrame(0.0f, 1.0f, 2.0f, 3.0f, 0.0f, 0.0f, 0.0f, 1.0f);
  const vtkMTimeType oneKeyFrame = trajectory->GetMTime();
  EXPECT_GT(oneKeyFrame, created);

  trajectory->AddKeyFrame(1.0f, 2.0f, 3.0f, 4.0f, 0.5f, 0.0f, 0.0f, 1.0f);
  const vtkMTimeType twoKeyFrames = trajectory->GetMTime();
  EXPECT_GT(twoKeyFrames, oneKeyFrame);

  trajectory->ClosedOn();
  const vtkMTimeType closed = trajectory->GetMTime();
  EXPECT_GT(closed, twoKeyFrames);

  EXPECT_EQ(trajectory->vtkObject::GetMTime(), ownStamp);
  trajectory->Modified();
  EXPECT_GT(trajectory->vtkObject::GetMTime(), ownStamp);
  EXPECT_EQ(trajectory->GetMTime(), closed);
}

// A change that only one position spline records still shows in the
// trajectory's modification time.
TEST(Trajectory, ModificationTimeIncludesEveryPositionSpline)
{
  vtkSmartPointer<TrajectoryOverride> trajectory =
    vtkSmartPointer<TrajectoryOverride>::Take(TrajectoryOverride::Create());
  trajectory->AddKeyFrame(0.0f, 1.0f, 2.0f, 3.0f, 0.0f, 0.0f, 0.0f, 1.0f);
  for (int coordinate = 0; coordinate < 3; ++coordinate)
  {
    SCOPED_TRACE(testing::Message() << "coordinate " << coordinate);
    vtkKochanekSpline* spline = trajectory->GetPositionSpline(coordinate);
    const vtkMTimeType before = trajectory->GetMTime();
    spline->Modified();
    EXPECT_GT(trajectory->GetMTime(), before);
    EXPECT_EQ(trajectory->GetMTime(), spline->GetMTime());
  }
}

//------------------------------------------------------------------------------
// Four keyframes one time unit apart, from t0 = 1 to t3 = 4.
class TrajectoryFourKeyFrames : public ::testing::Test
{
protected:
  void SetUp() override
  {
    for (int i = 0; i < 4; ++i)
    {
      this->Trajectory->AddKeyFrame(
        1.0f + i, Positions[i][0], Positions[i][1], Positions[i][2], 0.0f, 0.0f, 0.0f, 1.0f);
    }
  }

  static constexpr float Positions[4][3] = { { 1.0f, -2.0f, 3.0f }, { 4.0f, 0.0f, -1.0f },
    { 2.0f, 5.0f, 0.0f }, { -3.0f, 1.0f, 2.0f } };
  vtkNew<vtkTrajectory> Trajectory;
};

// A closed trajectory runs a closing segment of one time unit from its last
// keyframe back to its first, and holds still outside [t0, t3 + 1].
TEST_F(TrajectoryFourKeyFrames, ClosedPathReturnsToTheFirstPositionOneUnitAfterTheLast)
{
  this->Trajectory->ClosedOn();
  for (int i = 0; i < 4; ++i)
  {
    SCOPED_TRACE(testing::Message() << "keyframe " << i);
    ExpectPosition(EvaluateSeven(this->Trajectory, 1.0f + i), Positions[i]);
  }
  for (float t : { 5.0f, 0.0f, -100.0f, 5.5f, 100.0f })
  {
    SCOPED_TRACE(testing::Message() << "t = " << t);
    ExpectPosition(EvaluateSeven(this->Trajectory, t), Positions[0]);
  }

  // The closing segment moves smoothly from the last position to the first.
  const Pose halfway = EvaluateSeven(this->Trajectory, 4.5f);
  EXPECT_GT(std::fabs(halfway.X - Positions[3][0]), 0.1f);
  EXPECT_GT(std::fabs(halfway.X - Positions[0][0]), 0.1f);
  const Pose nearlyClosed = EvaluateSeven(this->Trajectory, 4.999f);
  EXPECT_NEAR(nearlyClosed.X, Positions[0][0], 0.05f);
  EXPECT_NEAR(nearlyClosed.Y, Positions[0][1], 0.05f);
  EXPECT_NEAR(nearlyClosed.Z, Positions[0][2], 0.05f);
}

// Open, the track stops at the last keyframe.
TEST_F(TrajectoryFourKeyFrames, OpenPathHoldsTheLastPositionAfterTheLastKeyFrame)
{
  for (float t : { 4.0f, 4.5f, 5.0f, 100.0f })
  {
    SCOPED_TRACE(testing::Message() << "t = " << t);
    ExpectPosition(EvaluateSeven(this->Trajectory, t), Positions[3]);
  }
  ExpectPosition(EvaluateSeven(this->Trajectory, -100.0f), Positions[0]);
}

// A keyframe at a time that is not a number changes nothing.
TEST_F(TrajectoryFourKeyFrames, KeyFrameWithoutATimeIsIgnored)
{
  this->Trajectory->ClosedOn();
  std::vector<Pose> before;
  for (int k = 0; k <= 50; ++k)
  {
    before.push_back(EvaluateSeven(this->Trajectory, 0.9f + 0.1f * k));
  }
  this->Trajectory->AddKeyFrame(std::nanf(""), 9.0f, 9.0f, 9.0f, 1.0f, 0.0f, 0.0f, 1.0f);
  EXPECT_EQ(this->Trajectory->GetNumberOfKeyFrames(), 4);
  EXPECT_EQ(this->Trajectory->GetKeyFrameTime(3), 4.0f);
  for (int k = 0; k <= 50; ++k)
  {
    const Pose after = EvaluateSeven(this->Trajectory, 0.9f + 0.1f * k);
    ASSERT_EQ(after.X, before[k].X) << k;
    ASSERT_EQ(after.Y, before[k].Y) << k;
    ASSERT_EQ(after.Z, before[k].Z) << k;
    ASSERT_EQ(after.Angle, before[k].Angle) << k;
  }
}

} // namespace
