// The program without one of its data files, run on the shortest program
// (moorwhisk): what these check does not depend on the path. Frames are not
// drawn; the pipeline still runs for every one of them.
#include "FishPipeline.h"
#include "ProgramHarness.h"

#include "vtkShapeTransform.h"

#include "vtkPointSet.h"
#include "vtkRenderWindow.h"
#include "vtkTransformPolyDataFilter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
// A scratch copy of the run directory with only the named data files.
class ScratchRunDirectory
{
public:
  ScratchRunDirectory(const std::string& name, std::initializer_list<const char*> files)
    : Path(fs::temp_directory_path() / ("pelagrin-" + name + "-" + std::to_string(getpid())))
  {
    fs::remove_all(this->Path);
    fs::create_directories(this->Path);
    for (const char* file : files)
    {
      fs::copy_file(file, this->Path / file);
    }
  }
  ~ScratchRunDirectory() { fs::remove_all(this->Path); }
  std::string String() const { return this->Path.string(); }

private:
  fs::path Path;
};

bool NoFrame(int)
{
  return false;
}
} // namespace

TEST(ErrorPaths, MissingPictureIsLeftToTheReader)
{
  const ScratchRunDirectory directory("no-picture", { "fish.vtk", "fish.bmp", "fish.trc" });
  bool started = false;
  ProgramHooks hooks;
  hooks.DrawFrame = NoFrame;
  hooks.OnStart = [&](vtkRenderWindowInteractor*) { started = true; };
  EXPECT_EQ(RunProgram(hooks, directory.String()), 0);
  EXPECT_TRUE(started);
}

TEST(ErrorPaths, WithoutDeformationDataTheShapeStaysAsRead)
{
  const ScratchRunDirectory directory("unbent", { "underwater.bmp", "fish.vtk", "fish.bmp" });
  int checkedFrames = 0;
  ProgramHooks hooks;
  hooks.DrawFrame = NoFrame;
  hooks.OnRender = [&](vtkRenderWindow* window, int)
  {
    const FishPipeline fish = FindFish(FindSceneRenderer(window));
    if (!fish.ShapeFilter || std::string(window->GetWindowName()) != "0010")
    {
      return;
    }
    // The frame of the largest amplitude.
    ASSERT_NE(fish.Shape, nullptr);
    EXPECT_NEAR(fish.Shape->GetAmplitude(), 10.0 / 11.0, 1e-6);
    auto* in = vtkPointSet::SafeDownCast(fish.ShapeFilter->GetInputDataObject(0, 0));
    auto* out = vtkPointSet::SafeDownCast(fish.ShapeFilter->GetOutputDataObject(0));
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
  EXPECT_EQ(RunProgram(hooks, directory.String()), 0);
  EXPECT_EQ(checkedFrames, 10); // frame 10 of every cycle
}
