// The recorder's PNG frames against the window's own pixels: moorwhisk runs
// under the test harness, which keeps what its window shows after each
// frame of the first cycle, and then the recorder records one cycle of the
// same program in this process. Every frame must come out the same to the
// last bit.
#include "FishRecorder.h"
#include "ProgramHarness.h"

#include "vtkImageData.h"
#include "vtkNew.h"
#include "vtkPNGReader.h"
#include "vtkPointData.h"
#include "vtkRenderWindow.h"
#include "vtkUnsignedCharArray.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace
{
constexpr int FramesPerCycle = 22;

using Pixels = std::vector<unsigned char>;

// What the window shows, read back as the recorder reads it: RGB rows from
// the bottom up.
Pixels WindowPixels(vtkRenderWindow* window)
{
  const int* size = window->GetSize();
  vtkNew<vtkUnsignedCharArray> data;
  window->GetPixelData(0, 0, size[0] - 1, size[1] - 1, 1, data);
  return Pixels(data->GetPointer(0), data->GetPointer(0) + data->GetNumberOfValues());
}

// A PNG as VTK reads it: rows from the bottom up.
Pixels PngPixels(const std::string& fileName, int& components)
{
  vtkNew<vtkPNGReader> reader;
  reader->SetFileName(fileName.c_str());
  reader->Update();
  vtkDataArray* scalars = reader->GetOutput()->GetPointData()->GetScalars();
  auto* bytes = vtkUnsignedCharArray::SafeDownCast(scalars);
  components = scalars ? scalars->GetNumberOfComponents() : 0;
  return bytes ? Pixels(bytes->GetPointer(0), bytes->GetPointer(0) + bytes->GetNumberOfValues())
               : Pixels();
}

std::string FrameName(const fs::path& folder, int frame)
{
  char name[32];
  std::snprintf(name, sizeof(name), "frame%04d.png", frame);
  return (folder / name).string();
}
} // namespace

TEST(Recorder, PngFramesAreTheWindowsOwnPixels)
{
  // The program as it shows itself: every frame of the first cycle drawn.
  std::vector<Pixels> shown;
  ProgramHooks hooks;
  hooks.DrawFrame = [](int frame) { return frame < FramesPerCycle; };
  hooks.OnRender = [&](vtkRenderWindow* window, int frame)
  {
    if (frame >= 0 && frame < FramesPerCycle)
    {
      shown.push_back(WindowPixels(window));
    }
  };
  ASSERT_EQ(RunProgram(hooks), 0);
  ASSERT_EQ(shown.size(), static_cast<size_t>(FramesPerCycle));

  // The recorder, one cycle of PNG frames.
  const fs::path folder =
    fs::temp_directory_path() / ("pelagrin-recorder-" + std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  const std::string pattern = (folder / "frame%04d.png").string();
  const char* argv[] = { "pelagrin-record", "moorwhisk", pattern.c_str() };
  ASSERT_EQ(RecordFishProgram(3, const_cast<char**>(argv)), 0);

  for (int frame = 0; frame < FramesPerCycle; ++frame)
  {
    SCOPED_TRACE("frame " + std::to_string(frame));
    int components = 0;
    const Pixels recorded = PngPixels(FrameName(folder, frame), components);
    ASSERT_EQ(components, 3);
    ASSERT_EQ(recorded.size(), shown[frame].size());
    EXPECT_TRUE(recorded == shown[frame]) << "the recorded frame differs from the window's";
  }
  // Nothing beyond the cycle, and no temporary file left beside the frames.
  EXPECT_FALSE(fs::exists(FrameName(folder, FramesPerCycle)));
  int files = 0;
  for (const auto& entry : fs::directory_iterator(folder))
  {
    EXPECT_EQ(entry.path().filename().string().rfind("frame", 0), 0u) << entry.path();
    ++files;
  }
  EXPECT_EQ(files, FramesPerCycle);
  fs::remove_all(folder);
}
