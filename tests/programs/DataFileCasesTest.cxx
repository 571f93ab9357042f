// The program with data files missing, broken or of another shape, run on
// the shortest program (moorwhisk): what these check does not depend on the
// path. Frames are not drawn; the pipeline still runs for every one of them.
#include "FishPipeline.h"
#include "ProgramHarness.h"

#include "vtkShapeTransform.h"

#include "vtkActor.h"
#include "vtkActorCollection.h"
#include "vtkCellData.h"
#include "vtkDataArray.h"
#include "vtkDataSet.h"
#include "vtkImageActor.h"
#include "vtkImageData.h"
#include "vtkImageMapper3D.h"
#include "vtkMapper.h"
#include "vtkPointSet.h"
#include "vtkPropCollection.h"
#include "vtkRenderWindow.h"
#include "vtkRenderer.h"
#include "vtkTransformPolyDataFilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <unistd.h>
#include <vector>

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
  void Write(const char* file, const std::string& bytes) const
  {
    std::ofstream(this->Path / file, std::ios::binary) << bytes;
  }

private:
  fs::path Path;
};

bool NoFrame(int)
{
  return false;
}

// The cell scalars that a threshold of the fish passes on, sorted.
std::vector<double> ScalarsPassedBy(vtkActor* actor)
{
  std::vector<double> values;
  auto* part =
    vtkDataSet::SafeDownCast(actor->GetMapper()->GetInputAlgorithm()->GetOutputDataObject(0));
  vtkDataArray* scalars = part ? part->GetCellData()->GetScalars() : nullptr;
  for (vtkIdType i = 0; scalars && i < scalars->GetNumberOfTuples(); ++i)
  {
    values.push_back(scalars->GetComponent(i, 0));
  }
  std::sort(values.begin(), values.end());
  return values;
}

vtkImageActor* FindPicture(vtkRenderWindow* window)
{
  vtkPropCollection* props = FindBackgroundRenderer(window)->GetViewProps();
  props->InitTraversal();
  return vtkImageActor::SafeDownCast(props->GetNextProp());
}
} // namespace

TEST(DataFileCases, MissingPictureIsLeftToTheReader)
{
  const ScratchRunDirectory directory("no-picture", { "fish.vtk", "fish.bmp", "fish.trc" });
  bool started = false;
  ProgramHooks hooks;
  hooks.DrawFrame = NoFrame;
  hooks.OnStart = [&](vtkRenderWindowInteractor*) { started = true; };
  EXPECT_EQ(RunProgram(hooks, directory.String()), 0);
  EXPECT_TRUE(started);
}

TEST(DataFileCases, WithoutDeformationDataTheShapeStaysAsRead)
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

// Which cells each threshold keeps: a scalar of 0 (or below) is the
// textured body, 1 and above the coloured fins and eyes, and a scalar in
// between is drawn by neither.
TEST(DataFileCases, FishIsSplitByItsCellScalars)
{
  const ScratchRunDirectory directory("split", { "underwater.bmp", "fish.bmp", "fish.trc" });
  std::string mesh = "# vtk DataFile Version 5.1\nsplit\nASCII\nDATASET POLYDATA\n"
                     "POINTS 3 float\n0 0 0 0.2 0 0 0 0.2 0\n"
                     "POLYGONS 7 18\nOFFSETS vtktypeint64\n0 3 6 9 12 15 18\n"
                     "CONNECTIVITY vtktypeint64\n";
  for (int cell = 0; cell < 6; ++cell)
  {
    mesh += "0 1 2\n";
  }
  mesh += "CELL_DATA 6\nSCALARS parts float\nLOOKUP_TABLE default\n-1 0 0.5 1 2.4 10\n";
  directory.Write("fish.vtk", mesh);
  std::vector<double> textured, coloured;
  ProgramHooks hooks;
  hooks.DrawFrame = NoFrame;
  hooks.OnStart = [&](vtkRenderWindowInteractor* interactor)
  {
    const FishPipeline fish = FindFish(FindSceneRenderer(interactor->GetRenderWindow()));
    ASSERT_NE(fish.TexturedActor, nullptr);
    ASSERT_NE(fish.ColouredActor, nullptr);
    textured = ScalarsPassedBy(fish.TexturedActor);
    coloured = ScalarsPassedBy(fish.ColouredActor);
  };
  EXPECT_EQ(RunProgram(hooks, directory.String()), 0);
  EXPECT_EQ(textured, (std::vector<double>{ -1, 0 }));
  EXPECT_EQ(coloured, (std::vector<double>{ 1, 2.4f, 10 }));
}

// Pictures that VTK's reader would crash on are left out, each with a line
// that names it; the program goes on and ends normally.
TEST(DataFileCases, BrokenPicturesAreLeftOut)
{
  const ScratchRunDirectory directory("broken-pictures", { "fish.vtk", "fish.trc" });
  std::string sevenBits(54, '\0');
  sevenBits[0] = 'B', sevenBits[1] = 'M', sevenBits[14] = 40, sevenBits[18] = 5, sevenBits[22] = 3;
  sevenBits[26] = 1, sevenBits[28] = 7;
  directory.Write("underwater.bmp", sevenBits);
  directory.Write("fish.bmp", "");
  bool pictureShown = true, skinShown = true;
  ProgramHooks hooks;
  hooks.DrawFrame = NoFrame;
  hooks.OnStart = [&](vtkRenderWindowInteractor* interactor)
  {
    vtkRenderWindow* window = interactor->GetRenderWindow();
    vtkImageActor* picture = FindPicture(window);
    ASSERT_NE(picture, nullptr);
    vtkImageData* image = picture->GetMapper()->GetInput();
    pictureShown = image && image->GetNumberOfPoints() > 0;
    vtkActorCollection* actors = FindSceneRenderer(window)->GetActors();
    actors->InitTraversal();
    skinShown = false;
    while (vtkActor* actor = actors->GetNextActor())
    {
      skinShown = skinShown || actor->GetTexture() != nullptr;
    }
  };
  testing::internal::CaptureStderr();
  const int status = RunProgram(hooks, directory.String());
  const std::string messages = testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(pictureShown);
  EXPECT_FALSE(skinShown);
  EXPECT_NE(
    messages.find("underwater.bmp: its 7 bits per pixel are neither 8 nor 24"), std::string::npos)
    << messages;
  EXPECT_NE(
    messages.find("fish.bmp: it is empty; the fish is drawn without its skin."), std::string::npos)
    << messages;
}

// A mesh that VTK's reader reads without complaint but whose polygon points
// past its points ends the program before the fish is drawn, with a line
// naming the file.
TEST(DataFileCases, BrokenMeshEndsTheProgram)
{
  const ScratchRunDirectory directory("broken-mesh", { "underwater.bmp", "fish.bmp", "fish.trc" });
  directory.Write("fish.vtk",
    "# vtk DataFile Version 5.1\nbroken\nASCII\nDATASET POLYDATA\nPOINTS 3 float\n0 0 0 1 0 0 "
    "0 1 0\nPOLYGONS 2 3\nOFFSETS vtktypeint64\n0 3\nCONNECTIVITY vtktypeint64\n0 1 9\n"
    "CELL_DATA 1\nSCALARS parts float\nLOOKUP_TABLE default\n0\n");
  bool started = false;
  ProgramHooks hooks;
  hooks.OnStart = [&](vtkRenderWindowInteractor*) { started = true; };
  testing::internal::CaptureStderr();
  const int status = RunProgram(hooks, directory.String());
  const std::string messages = testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 1);
  EXPECT_FALSE(started);
  EXPECT_EQ(messages,
    "fish.vtk: the fish mesh cannot be used: one of its polygons refers to point 9, past the "
    "last of its 3 points.\n");
}
