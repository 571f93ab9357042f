/*=========================================================================

  Program:   Fish animation programs
  Module:    FishProgram.h

=========================================================================*/
/**
 * The program shared by the five fish animations. Each entry source fills a
 * FishProgramConstants with its keyframes, window size, camera zoom, whether
 * the path is shown and its frames per cycle, and runs it from main:
 *
 *   int main() { return RunFishProgram(constants); }
 *
 * The program reads "underwater.bmp", "fish.vtk", "fish.bmp" and "fish.trc"
 * from the working directory, opens one window, animates ten cycles and then
 * hands the window to the interactor until the user closes it.
 */

#ifndef FishProgram_h
#define FishProgram_h

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
 * Run the program. Returns 0 once the user has closed the window, and -1 at
 * once when "fish.trc" is malformed.
 */
int RunFishProgram(const FishProgramConstants& constants);

#endif
