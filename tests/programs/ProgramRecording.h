/*=========================================================================

  Program:   Fish animation programs
  Module:    ProgramRecording.h

=========================================================================*/
/**
 * One run of a program, recorded for all of its checks. Before the first
 * test, the program's own code runs once under the test harness, and what
 * the checks of the animation, the pictures and the path scene need is kept:
 * every render's title, amplitude and pose; the scene as the program hands it
 * to the user; and the pixels of a few frames of the first cycle, taken with
 * and without the fish. Only those frames are drawn; every other frame still
 * runs the pipeline.
 *
 * The window itself is kept alive past the program's end, with everything it
 * holds, so that checks can look at the scene and render it again.
 */

#ifndef ProgramRecording_h
#define ProgramRecording_h

#include "FishPipeline.h"
#include "WindowPictures.h"

#include "vtkRenderWindow.h"
#include "vtkSmartPointer.h"

#include <array>
#include <map>
#include <string>
#include <vector>

struct FrameRecord
{
  std::string Title;
  float Amplitude = 0;
  double Pose[16];
  // The fish's tail tip (the mesh point furthest back) as read from the
  // mesh, after the shape filter and after the pose filter, as the render
  // left the pipeline.
  std::array<double, 3> TailAsRead{};
  std::array<double, 3> TailBent{};
  std::array<double, 3> TailPosed{};
};

// What the scene is when the program hands it to the user.
struct SceneFacts
{
  std::array<int, 2> WindowSize{};
  int SceneActors = 0;
  bool TexturedFish = false;
  bool ColouredFish = false;
  double ViewAngle = 0;
  std::array<double, 3> CameraPosition{};
};

// One animation frame as the window showed it, with and without the fish.
struct FramePicture
{
  std::vector<bool> Fish; // pixels that the fish changes
  int PathPixels = 0;     // pixels that the rest of the scene changes
  int Width = 0;
  int Height = 0;
  std::array<double, 2> Origin, Middle, HeadEnd, TailEnd; // projected fish points
};

// Points of the fish in its own frame: the middle of the body, the snout
// end and the tail end of its centre line.
extern const double FishBodyMiddle[3];
extern const double FishHead[3];
extern const double FishTail[3];

struct ProgramRecording
{
  int Status = -99;
  // Every render of the program that shows the fish, before and during the
  // animation, in order.
  std::vector<FrameRecord> Renders;
  SceneFacts Scene;
  // By animation frame, counted from 0 in the first cycle.
  std::map<int, FramePicture> Pictures;
  // The window as handed to the user, with its renderers and pipelines.
  vtkSmartPointer<vtkRenderWindow> Window;
};

/**
 * The recorded run of the program under test.
 */
const ProgramRecording& Recording();

/**
 * The frames of the first cycle whose pixels are taken.
 */
const std::vector<int>& CapturedFrames();

#endif
