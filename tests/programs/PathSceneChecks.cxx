// The path scene of a program that shows its path, as the program hands it
// to the user: samples, polyline, markers, layers, background camera and
// what the window shows.
#include "ProgramExpectations.h"
#include "ProgramHarness.h"
#include "ProgramRecording.h"
#include "WindowPictures.h"

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

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace
{
int SampleCount()
{
  return SamplesPerKeyFrame * ThisProgram().NumberOfKeys;
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

void CheckPathSamples(vtkPolyData* path)
{
  const ProgramExpectation& e = ThisProgram();
  const int sampleCount = SampleCount();
  ASSERT_EQ(path->GetNumberOfPoints(), sampleCount);
  vtkTrajectory* trajectory = NewTrajectory(e);
  const float step = TimeStep(e);
  float t = 0.0f;
  for (int j = 0; j < sampleCount; ++j)
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
  path->GetPoint(sampleCount - 1, last);
  EXPECT_NEAR(last[0], e.Keys[0].X, 1e-3);
  EXPECT_NEAR(last[1], e.Keys[0].Y, 1e-3);
  trajectory->Delete();

  vtkCellArray* lines = path->GetLines();
  ASSERT_EQ(lines->GetNumberOfCells(), 1);
  vtkNew<vtkIdList> ids;
  path->GetCellPoints(0, ids);
  ASSERT_EQ(ids->GetNumberOfIds(), sampleCount);
  for (int j = 0; j < sampleCount; ++j)
  {
    EXPECT_EQ(ids->GetId(j), j);
  }
}

void CheckMarkers(vtkGlyph3D* glyphs)
{
  auto* keyFrames = vtkPolyData::SafeDownCast(glyphs->GetInputDataObject(0, 0));
  ASSERT_NE(keyFrames, nullptr);
  const ProgramExpectation& e = ThisProgram();
  ASSERT_EQ(keyFrames->GetNumberOfPoints(), e.NumberOfKeys);
  vtkTrajectory* trajectory = NewTrajectory(e);
  for (int i = 0; i < e.NumberOfKeys; ++i)
  {
    float x, y, z, angle, ax, ay, az;
    trajectory->EvaluateAtKeyFrame(i, x, y, z, angle, ax, ay, az);
    double marker[3];
    keyFrames->GetPoint(i, marker);
    EXPECT_EQ(static_cast<float>(marker[0]), x);
    EXPECT_EQ(static_cast<float>(marker[1]), y);
    EXPECT_EQ(static_cast<float>(marker[2]), z);
    EXPECT_NEAR(x, e.Keys[i].X, 1e-6);
    EXPECT_NEAR(y, e.Keys[i].Y, 1e-6);
  }
  trajectory->Delete();

  auto* sphere = vtkSphereSource::SafeDownCast(glyphs->GetInputAlgorithm(1, 0));
  ASSERT_NE(sphere, nullptr);
  EXPECT_DOUBLE_EQ(sphere->GetRadius(), 0.04);
  EXPECT_EQ(sphere->GetPhiResolution(), 10);
  EXPECT_EQ(sphere->GetThetaResolution(), 10);
}

// The picture shows wherever the scene draws nothing, and the scene's path
// tube is drawn over it. The fish is hidden for this.
void CheckLayering(vtkRenderWindow* window, vtkPolyData* path)
{
  vtkRenderer* background = FindBackgroundRenderer(window);
  vtkRenderer* scene = FindSceneRenderer(window);
  vtkActorCollection* actors = scene->GetActors();
  actors->InitTraversal();
  while (vtkActor* actor = actors->GetNextActor())
  {
    vtkAlgorithm* input = actor->GetMapper()->GetInputAlgorithm();
    actor->SetVisibility(vtkTubeFilter::SafeDownCast(input) || vtkGlyph3D::SafeDownCast(input));
  }
  window->Render();
  Screenshot shot(window);
  ASSERT_EQ(shot.GetWidth(), 640);
  ASSERT_EQ(shot.GetHeight(), 480);

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
    Colour under;
    if (!shot.Contains(x, y) || !PicturePixelUnder(background, picture, x, y, under))
    {
      continue;
    }
    ++coveredChecked;
    covered += ColourDistance(shot.At(x, y), under) > 40 ? 1 : 0;
  }
  ASSERT_GT(coveredChecked, SampleCount() / 2);
  EXPECT_GT(covered, coveredChecked * 9 / 10) << "the tube is hidden behind the picture";

  // Away from the tube, the window shows the picture itself.
  int shown = 0, shownChecked = 0;
  for (int y = 5; y < shot.GetHeight(); y += 23)
  {
    for (int x = 5; x < shot.GetWidth(); x += 29)
    {
      bool nearTube = false;
      for (const auto& p : tube)
      {
        nearTube = nearTube || std::hypot(p[0] - x, p[1] - y) < 12;
      }
      Colour under;
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
  if (!ThisProgram().PathShown)
  {
    GTEST_SKIP() << "the program does not show its path";
  }
  vtkRenderWindow* window = Recording().Window;
  ASSERT_NE(window, nullptr) << "the program never handed the window over";
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
}
