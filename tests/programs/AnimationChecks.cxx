// The animation of one program, watched frame by frame inside the running
// program: titles, flexing amplitudes, poses, the actors of the scene, the
// window and the camera. Built once per program; PELAGRIN_PROGRAM names it.
#include "KeyFrameTables.h"
#include "ProgramHarness.h"

#include "vtkShapeTransform.h"
#include "vtkTrajectory.h"

#include "vtkActor.h"
#include "vtkActorCollection.h"
#include "vtkCamera.h"
#include "vtkLinearTransform.h"
#include "vtkMapper.h"
#include "vtkMath.h"
#include "vtkMatrix4x4.h"
#include "vtkRenderWindow.h"
#include "vtkRenderer.h"
#include "vtkTransformPolyDataFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace
{
struct Expected
{
  const char* Program;
  const KeyFrameRow* Keys;
  int NumberOfKeys;
  int Width;
  int Height;
  double Zoom;
  bool PathShown;
  int FramesPerCycle;
};

const Expected Programs[] = {
  { "pelagrin-eight", FigureEightTable, 8, 640, 480, 1.1, true, 320 },
  { "pelagrin-ring", RingTable, 8, 640, 480, 2.0, true, 320 },
  { "pelagrin-eight-bare", FigureEightTable, 8, 640, 480, 1.1, false, 320 },
  { "pelagrin-ring-bare", RingTable, 8, 640, 480, 2.0, false, 320 },
  { "moorwhisk", MooringTable, 1, 320, 240, 5.0, false, 22 },
};

const Expected& ThisProgram()
{
  for (const Expected& e : Programs)
  {
    if (std::strcmp(e.Program, PELAGRIN_PROGRAM) == 0)
    {
      return e;
    }
  }
  throw std::runtime_error("unknown program " PELAGRIN_PROGRAM);
}

vtkTrajectory* NewTrajectory(const Expected& e)
{
  vtkTrajectory* trajectory = vtkTrajectory::New();
  for (int i = 0; i < e.NumberOfKeys; ++i)
  {
    const KeyFrameRow& k = e.Keys[i];
    trajectory->AddKeyFrame(k.Time, k.X, k.Y, k.Z, k.Angle, 0, 0, 1);
  }
  trajectory->ClosedOn();
  return trajectory;
}

// The fish pipeline, reached from the textured actor back to the reader:
// threshold, pose filter, shape filter.
struct FishPipeline
{
  vtkActor* TexturedActor = nullptr;
  vtkActor* ColouredActor = nullptr;
  vtkTransformPolyDataFilter* PoseFilter = nullptr;
  vtkShapeTransform* Shape = nullptr;
};

FishPipeline FindFish(vtkRenderer* scene)
{
  FishPipeline fish;
  vtkActorCollection* actors = scene->GetActors();
  actors->InitTraversal();
  while (vtkActor* actor = actors->GetNextActor())
  {
    vtkAlgorithm* threshold = actor->GetMapper()->GetInputAlgorithm();
    auto* pose = vtkTransformPolyDataFilter::SafeDownCast(
      threshold->GetNumberOfInputPorts() ? threshold->GetInputAlgorithm() : nullptr);
    if (!pose)
    {
      continue;
    }
    (actor->GetTexture() ? fish.TexturedActor : fish.ColouredActor) = actor;
    fish.PoseFilter = pose;
    auto* shapeFilter = vtkTransformPolyDataFilter::SafeDownCast(pose->GetInputAlgorithm());
    fish.Shape = vtkShapeTransform::SafeDownCast(shapeFilter->GetTransform());
  }
  return fish;
}

struct Frame
{
  std::string Title;
  float Amplitude;
  double Pose[16];
};

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

bool IsFrameTitle(const std::string& title)
{
  return title.size() >= 4 && title.find_first_not_of("0123456789") == std::string::npos;
}

class Animation : public ::testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    Renders = new std::vector<Frame>;
    ProgramHooks hooks;
    hooks.OnRender = [](vtkRenderWindow* window)
    {
      FishPipeline fish = FindFish(FindSceneRenderer(window));
      if (!fish.Shape)
      {
        return;
      }
      Frame frame;
      frame.Title = window->GetWindowName();
      frame.Amplitude = fish.Shape->GetAmplitude();
      vtkMatrix4x4* pose =
        vtkLinearTransform::SafeDownCast(fish.PoseFilter->GetTransform())->GetMatrix();
      std::copy(pose->GetData(), pose->GetData() + 16, frame.Pose);
      Renders->push_back(frame);
    };
    hooks.OnStart = [](vtkRenderWindowInteractor* interactor) { InspectScene(interactor); };
    Status = RunProgram(hooks);
  }

  static void TearDownTestSuite() { delete Renders; }

  static void InspectScene(vtkRenderWindowInteractor* interactor);

  static std::vector<Frame> AnimationFrames()
  {
    std::vector<Frame> frames;
    for (const Frame& f : *Renders)
    {
      if (IsFrameTitle(f.Title))
      {
        frames.push_back(f);
      }
    }
    return frames;
  }

  static std::vector<Frame>* Renders;
  static int Status;
  static int WindowSize[2];
  static int SceneActors;
  static bool PathActorsShown;
  static double ViewAngle;
  static double CameraPosition[3];
};
std::vector<Frame>* Animation::Renders = nullptr;
int Animation::Status = -99;
int Animation::WindowSize[2] = { 0, 0 };
int Animation::SceneActors = 0;
bool Animation::PathActorsShown = false;
double Animation::ViewAngle = 0;
double Animation::CameraPosition[3] = { 0, 0, 0 };

void Animation::InspectScene(vtkRenderWindowInteractor* interactor)
{
  vtkRenderWindow* window = interactor->GetRenderWindow();
  WindowSize[0] = window->GetSize()[0];
  WindowSize[1] = window->GetSize()[1];
  vtkRenderer* scene = FindSceneRenderer(window);
  SceneActors = scene->GetActors()->GetNumberOfItems();
  FishPipeline fish = FindFish(scene);
  PathActorsShown = SceneActors > 2;
  EXPECT_NE(fish.TexturedActor, nullptr);
  EXPECT_NE(fish.ColouredActor, nullptr);
  vtkCamera* camera = scene->GetActiveCamera();
  ViewAngle = camera->GetViewAngle();
  camera->GetPosition(CameraPosition);
}
} // namespace

TEST_F(Animation, EndsNormallyAfterTheInteraction)
{
  EXPECT_EQ(Status, 0);
}

TEST_F(Animation, WindowSceneAndCamera)
{
  const Expected& e = ThisProgram();
  EXPECT_EQ(WindowSize[0], e.Width);
  EXPECT_EQ(WindowSize[1], e.Height);
  EXPECT_EQ(PathActorsShown, e.PathShown);
  EXPECT_EQ(SceneActors, e.PathShown ? 4 : 2);
  // Zoom narrows VTK's default 30 degree view angle.
  EXPECT_NEAR(ViewAngle, 30.0 / e.Zoom, 1e-9);
  EXPECT_DOUBLE_EQ(CameraPosition[0], 9.07778);
  EXPECT_DOUBLE_EQ(CameraPosition[1], -7.80113);
  EXPECT_DOUBLE_EQ(CameraPosition[2], 2.72241);
}

TEST_F(Animation, TenCyclesOfNumberedFrames)
{
  const Expected& e = ThisProgram();
  const std::vector<Frame> frames = AnimationFrames();
  ASSERT_EQ(frames.size(), 10u * e.FramesPerCycle);
  for (size_t k = 0; k < frames.size(); ++k)
  {
    char title[16];
    std::snprintf(title, sizeof(title), "%04d", static_cast<int>(k % e.FramesPerCycle));
    ASSERT_EQ(frames[k].Title, title) << "frame " << k;
  }
  EXPECT_EQ(frames.front().Title, "0000");
  EXPECT_EQ(frames.back().Title, e.FramesPerCycle == 320 ? "0319" : "0021");
}

TEST_F(Animation, AmplitudeIsATriangleWaveRestartingEveryCycle)
{
  const Expected& e = ThisProgram();
  const std::vector<Frame> frames = AnimationFrames();
  ASSERT_EQ(frames.size(), 10u * e.FramesPerCycle);
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

TEST_F(Animation, FishFollowsTheTrajectory)
{
  const Expected& e = ThisProgram();
  const std::vector<Frame> frames = AnimationFrames();
  ASSERT_EQ(frames.size(), 10u * e.FramesPerCycle);
  vtkTrajectory* trajectory = NewTrajectory(e);
  const float step = static_cast<float>(
    (1 + (e.Keys[e.NumberOfKeys - 1].Time - e.Keys[0].Time)) / (40 * e.NumberOfKeys - 1));
  // Every frame of the last cycle, at the clock accumulated in single
  // precision.
  const size_t lastCycle = 9u * e.FramesPerCycle;
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

TEST_F(Animation, FirstPictureShowsTheStartPoseWithoutModelTurns)
{
  const Expected& e = ThisProgram();
  // The render before the first numbered frame.
  size_t first = 0;
  while (first < Renders->size() && !IsFrameTitle((*Renders)[first].Title))
  {
    ++first;
  }
  ASSERT_GE(first, 1u);
  vtkTrajectory* trajectory = NewTrajectory(e);
  double expected[16];
  ExpectedPose(trajectory, 0.0f, false, expected);
  for (int m = 0; m < 16; ++m)
  {
    EXPECT_NEAR((*Renders)[first - 1].Pose[m], expected[m], 1e-5) << "m" << m;
  }
  EXPECT_EQ((*Renders)[first - 1].Amplitude, 0.0f);
  trajectory->Delete();
}
