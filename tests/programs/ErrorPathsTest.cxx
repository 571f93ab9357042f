// Without "fish.trc" the program runs as usual and the fish swims unbent.
#include "ProgramHarness.h"

#include "vtkShapeTransform.h"

#include "vtkActor.h"
#include "vtkActorCollection.h"
#include "vtkMapper.h"
#include "vtkPointSet.h"
#include "vtkRenderWindow.h"
#include "vtkRenderer.h"
#include "vtkTransformPolyDataFilter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace
{
// A scratch copy of the run directory without the deformation data.
fs::path DataWithoutDeformation()
{
  const fs::path directory = fs::temp_directory_path() / ("pelagrin-unbent-" PELAGRIN_PROGRAM);
  fs::remove_all(directory);
  fs::create_directories(directory);
  for (const char* name : { "underwater.bmp", "fish.vtk", "fish.bmp" })
  {
    fs::copy_file(name, directory / name);
  }
  return directory;
}

vtkTransformPolyDataFilter* FindShapeFilter(vtkRenderWindow* window)
{
  vtkActorCollection* actors = FindSceneRenderer(window)->GetActors();
  actors->InitTraversal();
  while (vtkActor* actor = actors->GetNextActor())
  {
    vtkAlgorithm* threshold = actor->GetMapper()->GetInputAlgorithm();
    if (threshold->GetNumberOfInputPorts() == 0)
    {
      continue;
    }
    if (auto* pose = vtkTransformPolyDataFilter::SafeDownCast(threshold->GetInputAlgorithm()))
    {
      return vtkTransformPolyDataFilter::SafeDownCast(pose->GetInputAlgorithm());
    }
  }
  return nullptr;
}
} // namespace

TEST(UnbentFish, WithoutDeformationDataTheShapeStaysAsRead)
{
  const fs::path directory = DataWithoutDeformation();
  int checkedFrames = 0;
  ProgramHooks hooks;
  hooks.OnRender = [&](vtkRenderWindow* window)
  {
    vtkTransformPolyDataFilter* shapeFilter = FindShapeFilter(window);
    if (!shapeFilter || std::string(window->GetWindowName()) != "0010")
    {
      return;
    }
    // The frame of the largest amplitude.
    auto* shape = vtkShapeTransform::SafeDownCast(shapeFilter->GetTransform());
    ASSERT_NE(shape, nullptr);
    EXPECT_NEAR(shape->GetAmplitude(), 10.0 / 11.0, 1e-6);
    auto* in = vtkPointSet::SafeDownCast(shapeFilter->GetInputDataObject(0, 0));
    auto* out = vtkPointSet::SafeDownCast(shapeFilter->GetOutputDataObject(0));
    ASSERT_GT(in->GetNumberOfPoints(), 0);
    ASSERT_EQ(out->GetNumberOfPoints(), in->GetNumberOfPoints());
    for (vtkIdType i = 0; i < in->GetNumberOfPoints(); ++i)
    {
      double a[3], b[3];
      in->GetPoint(i, a);
      out->GetPoint(i, b);
      ASSERT_EQ(a[0], b[0]);
      ASSERT_EQ(a[1], b[1]);
      ASSERT_EQ(a[2], b[2]);
    }
    ++checkedFrames;
  };
  EXPECT_EQ(RunProgram(hooks, directory.string()), 0);
  EXPECT_EQ(checkedFrames, 10); // frame 10 of every cycle
  fs::remove_all(directory);
}
