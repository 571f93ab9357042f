/*=========================================================================

  Program:   Fish animation programs
  Module:    FishProgram.h

=========================================================================*/
/**
 * The program shared by the five fish animations. A FishProgramConstants
 * holds a program's keyframes, window size, camera zoom, whether the path is
 * shown and its frames per cycle; FishProgramTable.h has the five programs'
 * constants, and each entry source runs its own:
 *
 *   int main() { return RunFishProgram(PelagrinEight); }
 *
 * The program reads "underwater.bmp", "fish.vtk", "fish.bmp" and "fish.trc"
 * from the working directory, opens one window, animates ten cycles and then
 * hands the window to the interactor until the user closes it.
 */

#ifndef FishProgram_h
#define FishProgram_h

#include <functional>

class vtkRenderWindow;

/**
 * One keyframe: time, position and a rotation by Angle (radians) about Axis.
 */
struct FishKeyFrame
{
  float Time;
  float X;
  float Y;
  float Z;
  float Angle;
  float Axis[3];
};

struct FishProgramConstants
{
  // A FramesPerCycle of this value runs one frame per path sample, so that a
  // cycle swims the whole closed path once.
  static constexpr int FramesPerPathSample = -1;

  const FishKeyFrame* KeyFrames;
  int NumberOfKeyFrames;
  int WindowWidth;
  int WindowHeight;
  double CameraZoom;
  bool ShowPath;
  int FramesPerCycle;
};

/**
 * How the program's own code runs when it runs for another purpose than
 * showing itself: the recorder runs it for a number of cycles, drawing into
 * a window that is never shown, looks at every frame and leaves out the
 * interaction. The defaults are the program as it runs itself.
 */
struct FishProgramRun
{
  int Cycles = 10;
  bool Interact = true;
  bool OffScreen = false;
  // Called after each animation frame has been rendered, with the frame's
  // number counted from 0 over all cycles and the number of frames of all
  // cycles. Returning false ends the animation after that frame.
  std::function<bool(vtkRenderWindow* window, int frame, int frames)> AfterFrame;
};

/**
 * Run the program. Returns 0 once the user has closed the window (or, with
 * no interaction, once the animation is over), 1 when "fish.vtk" cannot be
 * used, and -1 at once when "fish.trc" is malformed.
 */
int RunFishProgram(
  const FishProgramConstants& constants, const FishProgramRun& run = FishProgramRun());

#endif
