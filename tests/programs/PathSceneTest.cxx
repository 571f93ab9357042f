// The path scene of pelagrin-eight, inspected inside the running program:
// samples, polyline, markers, layers, background camera and what the window
// shows.
#include "ProgramHarness.h"

#include "vtkTrajectory.h"

#include "vtkActor.h"
#include "vtkActorCollection.h"
#include "vtkBMPReader.h"
#include "vtkCamera.h"
#include "vtkCellArray.h"
#include "vtkGlyph3D.h"
#include "vtkIdList.h"
#include "vtkImageData.h"
#include "vtkMapper.h"
#include "vtkNew.h"
#include "vtkPolyData.h"
#include "vtkPropCollection.h"
#include "vtkProperty.h"
#include "vtkRenderWindow.h"
#include "vtkRenderer.h"
#include "vtkRendererCollection.h"
#include "vtkSphereSource.h"
#include "vtkTubeFilter.h"
#include "vtkUnsignedCharArray.h"
#include "vtkWindowToImageFilter.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace
{
struct KeyFrame
{
  float Time, X, Y, Z, Angle;
};

// The figure-eight keyframes, about the z axis.
const KeyFrame FigureEight[] = {
  { 0, -2, -2, 0, 0.0f },
  { 1, 0, 0, 0, 1.570795f },
  { 2, 2, 2, 0, 0.0f },
  { 3, 4, 0, 0, -1.570795f },
  { 4, 2, -2, 0, -3.141592f },
  { 5, 0, 0, 0, -4.712388f },
  { 6, -2, 2, 0, -3.141592f },
  { 7, -4, 0, 0, -1.570795f },
};
constexpr int SampleCount = 320;

vtkTrajectory* NewFigureEight()
{
  vtkTrajectory* trajectory = vtkTrajectory::New();
  for (const KeyFrame& k : FigureEight)
  {
    trajectory->AddKeyFrame(k.Time, k.X, k.Y, k.Z, k.Angle, 0, 0, 1);
  }
  trajectory->ClosedOn();
  return trajectory;
}

template <typename T>
T* FindActorInput(vtkRenderer* renderer, vtkActor** actorOut = nullptr)
{
  vtkActorCollection* actors = renderer->GetActors();
  actors->InitTraversal();
  while (vtkActor* actor = actors->GetNextActor())
  {
    if (T* input = T::SafeDownCast(actor->GetMapper()->GetInputAlgorithm()))
    {
      if (actorOut)
      {
        *actorOut = actor;
      }
      return input;
    }
  }
  return nullptr;
}

void ExpectShading(vtkActor* actor, std::array<double, 3> colour)
{
  vtkProperty* property = actor->GetProperty();
  for (int i = 0; i < 3; ++i)
  {
    EXPECT_DOUBLE_EQ(property->GetDiffuseColor()[i], colour[i]);
  }
  EXPECT_DOUBLE_EQ(property->GetSpecular(), 0.3);
  EXPECT_DOUBLE_EQ(property->GetSpecularPower(), 30);
}

// What the window shows, as RGB rows from the bottom up.
struct Screenshot
{
  int Width = 0;
  int Height = 0;
  vtkNew<vtkImageData> Image;

  explicit Screenshot(vtkRenderWindow* window)
  {
    vtkNew<vtkWindowToImageFilter> grab;
    grab->SetInput(window);
    grab->SetInputBufferTypeToRGB();
    grab->ReadFrontBufferOff();
    grab->Update();
    this->Image->DeepCopy(grab->GetOutput());
    this->Width = this->Image->GetDimensions()[0];
    this->Height = this->Image->GetDimensions()[1];
  }

  std::array<int, 3> At(int x, int y) const
  {
    auto* p = static_cast<unsigned char*>(this->Image->GetScalarPointer(x, y, 0));
    return { p[0], p[1], p[2] };
  }
};

std::array<double, 2> Project(vtkRenderer* renderer, const double world[3])
{
  renderer->SetWorldPoint(world[0], world[1], world[2], 1.0);
  renderer->WorldToDisplay();
  const double* display = renderer->GetDisplayPoint();
  return { display[0], display[1] };
}

// The pixel of the background picture under window pixel (x, y): the ray
// through the pixel meets the picture's plane z = 0, where picture pixel
// (i, j) sits at (i, j).
bool PicturePixelUnder(
  vtkRenderer* background, vtkImageData* picture, int x, int y, std::array<int, 3>& colour)
{
  double ends[2][3];
  for (int k = 0; k < 2; ++k)
  {
    background->SetDisplayPoint(x, y, k);
    background->DisplayToWorld();
    const double* w = background->GetWorldPoint();
    for (int c = 0; c < 3; ++c)
    {
      ends[k][c] = w[c] / w[3];
    }
  }
  const double s = ends[0][2] / (ends[0][2] - ends[1][2]);
  const int i = static_cast<int>(std::lround(ends[0][0] + s * (ends[1][0] - ends[0][0])));
  const int j = static_cast<int>(std::lround(ends[0][1] + s * (ends[1][1] - ends[0][1])));
  const int* dims = picture->GetDimensions();
  if (i < 0 || j < 0 || i >= dims[0] || j >= dims[1])
  {
    return false;
  }
  auto* p = static_cast<unsigned char*>(picture->GetScalarPointer(i, j, 0));
  colour = { p[0], p[1], p[2] };
  return true;
}

int ColourDistance(const std::array<int, 3>& a, const std::array<int, 3>& b)
{
  int largest = 0;
  for (int c = 0; c < 3; ++c)
  {
    largest = std::max(largest, std::abs(a[c] - b[c]));
  }
  return largest;
}

void CheckPathSamples(vtkPolyData* path)
{
  ASSERT_EQ(path->GetNumberOfPoints(), SampleCount);
  vtkTrajectory* trajectory = NewFigureEight();
  const float step = static_cast<float>((1 + (7.0f - 0.0f)) / (SampleCount - 1));
  float t = 0.0f;
  for (int j = 0; j < SampleCount; ++j)
  {
    float x, y, z, angle, axis[3];
    trajectory->Evaluate(t, x, y, z, angle, axis);
    double sample[3];
    path->GetPoint(j, sample);
    EXPECT_EQ(static_cast<float>(sample[0]), x) << "sample " << j;
    EXPECT_EQ(static_cast<float>(sample[1]), y) << "sample " << j;
    EXPECT_EQ(static_cast<float>(sample[2]), z) << "sample " << j;
    t += step;
  }
  // Accumulated in single precision, the last sample lies just short of one
  // time unit past the last keyframe, back near the first keyframe.
  double last[3];
  path->GetPoint(SampleCount - 1, last);
  EXPECT_NEAR(last[0], -2.0, 1e-3);
  EXPECT_NEAR(last[1], -2.0, 1e-3);
  trajectory->Delete();

  vtkCellArray* lines = path->GetLines();
  ASSERT_EQ(lines->GetNumberOfCells(), 1);
  vtkNew<vtkIdList> ids;
  path->GetCellPoints(0, ids);
  ASSERT_EQ(ids->GetNumberOfIds(), SampleCount);
  for (int j = 0; j < SampleCount; ++j)
  {
    EXPECT_EQ(ids->GetId(j), j);
  }
}

void CheckMarkers(vtkGlyph3D* glyphs)
{
  auto* keyFrames = vtkPolyData::SafeDownCast(glyphs->GetInputDataObject(0, 0));
  ASSERT_NE(keyFrames, nullptr);
  ASSERT_EQ(keyFrames->GetNumberOfPoints(), 8);
  vtkTrajectory* trajectory = NewFigureEight();
  for (int i = 0; i < 8; ++i)
  {
    float x, y, z, angle, ax, ay, az;
    trajectory->EvaluateAtKeyFrame(i, x, y, z, angle, ax, ay, az);
    double marker[3];
    keyFrames->GetPoint(i, marker);
    EXPECT_EQ(static_cast<float>(marker[0]), x);
    EXPECT_EQ(static_cast<float>(marker[1]), y);
    EXPECT_EQ(static_cast<float>(marker[2]), z);
    EXPECT_NEAR(x, FigureEight[i].X, 1e-6);
    EXPECT_NEAR(y, FigureEight[i].Y, 1e-6);
  }
  trajectory->Delete();

  auto* sphere = vtkSphereSource::SafeDownCast(glyphs->GetInputAlgorithm(1, 0));
  ASSERT_NE(sphere, nullptr);
  EXPECT_DOUBLE_EQ(sphere->GetRadius(), 0.04);
  EXPECT_EQ(sphere->GetPhiResolution(), 10);
  EXPECT_EQ(sphere->GetThetaResolution(), 10);
}

// The picture shows wherever the scene draws nothing, and the scene's path
// tube is drawn over it.
void CheckLayering(vtkRenderWindow* window, vtkPolyData* path)
{
  vtkRenderer* background = FindBackgroundRenderer(window);
  vtkRenderer* scene = FindSceneRenderer(window);
  window->Render();
  Screenshot shot(window);
  ASSERT_EQ(shot.Width, 640);
  ASSERT_EQ(shot.Height, 480);

  vtkNew<vtkBMPReader> reader;
  reader->SetFileName("underwater.bmp");
  reader->Update();
  vtkImageData* picture = reader->GetOutput();

  // Where the tube is: sample centres, projected through the scene camera.
  std::vector<std::array<double, 2>> tube;
  for (int j = 0; j < path->GetNumberOfPoints(); ++j)
  {
    tube.push_back(Project(scene, path->GetPoint(j)));
  }
  int covered = 0, coveredChecked = 0;
  for (const auto& p : tube)
  {
    const int x = static_cast<int>(std::lround(p[0]));
    const int y = static_cast<int>(std::lround(p[1]));
    std::array<int, 3> under;
    if (x < 0 || y < 0 || x >= shot.Width || y >= shot.Height ||
      !PicturePixelUnder(background, picture, x, y, under))
    {
      continue;
    }
    ++coveredChecked;
    covered += ColourDistance(shot.At(x, y), under) > 40 ? 1 : 0;
  }
  ASSERT_GT(coveredChecked, SampleCount / 2);
  EXPECT_GT(covered, coveredChecked * 9 / 10) << "the tube is hidden behind the picture";

  // Away from the tube, the window shows the picture itself.
  int shown = 0, shownChecked = 0;
  for (int y = 5; y < shot.Height; y += 23)
  {
    for (int x = 5; x < shot.Width; x += 29)
    {
      bool nearTube = false;
      for (const auto& p : tube)
      {
        nearTube = nearTube || std::hypot(p[0] - x, p[1] - y) < 12;
      }
      std::array<int, 3> under;
      if (nearTube || !PicturePixelUnder(background, picture, x, y, under))
      {
        continue;
      }
      ++shownChecked;
      shown += ColourDistance(shot.At(x, y), under) <= 16 ? 1 : 0;
    }
  }
  ASSERT_GT(shownChecked, 200) << "the picture does not fill the window";
  EXPECT_GT(shown, shownChecked * 95 / 100) << "the window does not show the picture";
}

void CheckBackgroundCamera(vtkRenderer* background)
{
  vtkCamera* camera = background->GetActiveCamera();
  const double distance = camera->GetDistance();
  EXPECT_NEAR(camera->GetClippingRange()[0], distance - 5.0, 1e-9);
  EXPECT_NEAR(camera->GetClippingRange()[1], distance + 5.0, 1e-9);
  // Dollying by 2.2 brings the camera to 1/2.2 of the distance at which it
  // frames the whole picture.
  background->ResetCamera();
  EXPECT_NEAR(distance, camera->GetDistance() / 2.2, 1e-6 * distance);
}
} // namespace

TEST(PathScene, SceneAsTheProgramHandsItToTheUser)
{
  bool started = false;
  ProgramHooks hooks;
  hooks.OnStart = [&](vtkRenderWindowInteractor* interactor)
  {
    started = true;
    vtkRenderWindow* window = interactor->GetRenderWindow();
    EXPECT_EQ(window->GetSize()[0], 640);
    EXPECT_EQ(window->GetSize()[1], 480);
    EXPECT_EQ(window->GetNumberOfLayers(), 2);
    ASSERT_EQ(window->GetRenderers()->GetNumberOfItems(), 2);

    vtkRenderer* background = FindBackgroundRenderer(window);
    vtkRenderer* scene = FindSceneRenderer(window);
    ASSERT_NE(background, nullptr);
    ASSERT_NE(scene, nullptr);
    // VTK draws layer 0 first: the picture lies beneath the scene.
    EXPECT_EQ(background->GetLayer(), 0);
    EXPECT_EQ(scene->GetLayer(), 1);
    EXPECT_EQ(background->GetInteractive(), 0);
    EXPECT_EQ(scene->GetInteractive(), 1);
    EXPECT_EQ(background->GetViewProps()->GetNumberOfItems(), 1);

    vtkActor* tubeActor = nullptr;
    vtkActor* markerActor = nullptr;
    vtkTubeFilter* tube = FindActorInput<vtkTubeFilter>(scene, &tubeActor);
    vtkGlyph3D* glyphs = FindActorInput<vtkGlyph3D>(scene, &markerActor);
    ASSERT_NE(tube, nullptr);
    ASSERT_NE(glyphs, nullptr);
    EXPECT_EQ(tube->GetNumberOfSides(), 8);
    EXPECT_DOUBLE_EQ(tube->GetRadius(), 0.02);
    ExpectShading(tubeActor, { 1.0, 1.0, 0.7 });
    ExpectShading(markerActor, { 1.0, 0.6, 0.6 });

    auto* path = vtkPolyData::SafeDownCast(tube->GetInputDataObject(0, 0));
    ASSERT_NE(path, nullptr);
    CheckPathSamples(path);
    CheckMarkers(glyphs);
    CheckLayering(window, path);
    CheckBackgroundCamera(background);
  };
  EXPECT_EQ(RunProgram(hooks), 0);
  EXPECT_TRUE(started);
}

TEST(PathScene, MissingPictureIsLeftToTheReader)
{
  // Every data file but the picture.
  namespace fs = std::filesystem;
  const fs::path directory = fs::temp_directory_path() / "pelagrin-no-picture";
  fs::remove_all(directory);
  fs::create_directories(directory);
  for (const auto& entry : fs::directory_iterator(fs::current_path()))
  {
    const std::string name = entry.path().filename().string();
    const std::string extension = entry.path().extension().string();
    if (name != "underwater.bmp" &&
      (extension == ".vtk" || extension == ".bmp" || extension == ".trc"))
    {
      fs::copy_file(entry.path(), directory / name);
    }
  }
  bool started = false;
  ProgramHooks hooks;
  hooks.OnStart = [&](vtkRenderWindowInteractor*) { started = true; };
  EXPECT_EQ(RunProgram(hooks, directory.string()), 0);
  EXPECT_TRUE(started);
  fs::remove_all(directory);
}
