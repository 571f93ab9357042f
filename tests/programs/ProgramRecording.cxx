/*=========================================================================

  Program:   Fish animation programs
  Module:    ProgramRecording.cxx

=========================================================================*/
#include "ProgramRecording.h"

#include "ProgramExpectations.h"
#include "ProgramHarness.h"

#include "vtkShapeTransform.h"

#include "vtkActor.h"
#include "vtkCamera.h"
#include "vtkLinearTransform.h"
#include "vtkMatrix4x4.h"
#include "vtkPointSet.h"
#include "vtkRenderer.h"
#include "vtkTransformPolyDataFilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

const double FishBodyMiddle[3] = { 0.23, 0.0, -0.213 };
const double FishHead[3] = { -0.45, 0.0, -0.213 };
const double FishTail[3] = { 0.9, 0.0, -0.213 };

namespace
{
ProgramRecording* TheRecording = nullptr;

std::array<double, 2> ProjectModelPoint(vtkRenderer* scene, vtkMatrix4x4* pose, const double p[3])
{
  const double model[4] = { p[0], p[1], p[2], 1.0 };
  double world[4];
  pose->MultiplyPoint(model, world);
  return Project(scene, world);
}

vtkMatrix4x4* PoseMatrix(const FishPipeline& fish)
{
  return vtkLinearTransform::SafeDownCast(fish.PoseFilter->GetTransform())->GetMatrix();
}

// The mesh point with the largest x: the tip of the tail, which the bend
// moves furthest.
vtkIdType TailTip(vtkPointSet* mesh)
{
  vtkIdType tip = 0;
  for (vtkIdType i = 1; i < mesh->GetNumberOfPoints(); ++i)
  {
    if (mesh->GetPoint(i)[0] > mesh->GetPoint(tip)[0])
    {
      tip = i;
    }
  }
  return tip;
}

std::array<double, 3> PointOf(vtkAlgorithm* filter, bool output, vtkIdType id)
{
  auto* data = vtkPointSet::SafeDownCast(
    output ? filter->GetOutputDataObject(0) : filter->GetInputDataObject(0, 0));
  std::array<double, 3> point{};
  if (data && id < data->GetNumberOfPoints())
  {
    data->GetPoint(id, point.data());
  }
  return point;
}

void RecordRender(vtkRenderWindow* window, std::vector<FrameRecord>& renders)
{
  const FishPipeline fish = FindFish(FindSceneRenderer(window));
  if (!fish.Shape)
  {
    return;
  }
  FrameRecord frame;
  frame.Title = window->GetWindowName();
  frame.Amplitude = fish.Shape->GetAmplitude();
  vtkMatrix4x4* pose = PoseMatrix(fish);
  std::copy(pose->GetData(), pose->GetData() + 16, frame.Pose);
  static const vtkIdType tail =
    TailTip(vtkPointSet::SafeDownCast(fish.ShapeFilter->GetInputDataObject(0, 0)));
  frame.TailAsRead = PointOf(fish.ShapeFilter, false, tail);
  frame.TailBent = PointOf(fish.ShapeFilter, true, tail);
  frame.TailPosed = PointOf(fish.PoseFilter, true, tail);
  renders.push_back(frame);
}

// The window read back three times: as the program drew it, without the
// fish, and with the scene renderer not drawn at all (the picture alone).
FramePicture Capture(vtkRenderWindow* window, int frame)
{
  vtkRenderer* scene = FindSceneRenderer(window);
  const FishPipeline fish = FindFish(scene);
  Screenshot with(window);
  fish.TexturedActor->VisibilityOff();
  fish.ColouredActor->VisibilityOff();
  Screenshot without(window);
  scene->DrawOff();
  Screenshot pictureOnly(window);
  scene->DrawOn();
  fish.TexturedActor->VisibilityOn();
  fish.ColouredActor->VisibilityOn();

  FramePicture picture;
  picture.Width = with.GetWidth();
  picture.Height = with.GetHeight();
  for (int y = 0; y < picture.Height; ++y)
  {
    for (int x = 0; x < picture.Width; ++x)
    {
      picture.Fish.push_back(ColourDistance(with.At(x, y), without.At(x, y)) > 30);
      picture.PathPixels += ColourDistance(without.At(x, y), pictureOnly.At(x, y)) > 0 ? 1 : 0;
    }
  }
  vtkMatrix4x4* pose = PoseMatrix(fish);
  const double origin[3] = { 0, 0, 0 };
  picture.Origin = ProjectModelPoint(scene, pose, origin);
  picture.Middle = ProjectModelPoint(scene, pose, FishBodyMiddle);
  picture.HeadEnd = ProjectModelPoint(scene, pose, FishHead);
  picture.TailEnd = ProjectModelPoint(scene, pose, FishTail);

  if (const char* directory = std::getenv("PELAGRIN_SCREENSHOT_DIR"))
  {
    const std::string name =
      std::string(directory) + "/" + ProgramUnderTest() + "-frame" + std::to_string(frame) + ".png";
    with.SavePNG(name.c_str());
  }
  return picture;
}

bool IsCaptured(int frame)
{
  const std::vector<int>& captured = CapturedFrames();
  return std::find(captured.begin(), captured.end(), frame) != captured.end();
}

SceneFacts InspectScene(vtkRenderWindow* window)
{
  SceneFacts facts;
  facts.WindowSize = { window->GetSize()[0], window->GetSize()[1] };
  vtkRenderer* scene = FindSceneRenderer(window);
  facts.SceneActors = scene->GetActors()->GetNumberOfItems();
  const FishPipeline fish = FindFish(scene);
  facts.TexturedFish = fish.TexturedActor != nullptr;
  facts.ColouredFish = fish.ColouredActor != nullptr;
  vtkCamera* camera = scene->GetActiveCamera();
  facts.ViewAngle = camera->GetViewAngle();
  camera->GetPosition(facts.CameraPosition.data());
  return facts;
}

// Runs the program once before the first test and lets the window go after
// the last, while VTK is still whole.
class ProgramRun : public ::testing::Environment
{
public:
  void SetUp() override
  {
    TheRecording = new ProgramRecording;
    ProgramRecording& recording = *TheRecording;
    ProgramHooks hooks;
    hooks.OnRender = [&recording](vtkRenderWindow* window, int frame)
    {
      RecordRender(window, recording.Renders);
      if (IsCaptured(frame))
      {
        recording.Pictures[frame] = Capture(window, frame);
      }
    };
    hooks.DrawFrame = IsCaptured;
    hooks.OnStart = [&recording](vtkRenderWindowInteractor* interactor)
    {
      recording.Window = interactor->GetRenderWindow();
      recording.Scene = InspectScene(recording.Window);
    };
    recording.Status = RunProgram(hooks);
  }

  void TearDown() override
  {
    delete TheRecording;
    TheRecording = nullptr;
  }
};
::testing::Environment* const Run = ::testing::AddGlobalTestEnvironment(new ProgramRun);
} // namespace

//------------------------------------------------------------------------------
const ProgramRecording& Recording()
{
  if (!TheRecording)
  {
    throw std::logic_error("the program's run is read outside the tests");
  }
  return *TheRecording;
}

//------------------------------------------------------------------------------
const std::vector<int>& CapturedFrames()
{
  static const std::vector<int> frames = ThisProgram().FramesPerCycle < 40
    ? std::vector<int>{ 0, 10 }
    : std::vector<int>{ 0, 10, 40, 80, 120, 160 };
  return frames;
}
