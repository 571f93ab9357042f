// pelagrin-eight-bare: the figure-eight swim with neither the path tube nor the keyframe spheres
// shown.
#include "FishPaths.h"
#include "FishProgram.h"

int main()
{
  FishProgramConstants constants;
  constants.KeyFrames = FigureEightKeyFrames;
  constants.NumberOfKeyFrames = CountOf(FigureEightKeyFrames);
  constants.WindowWidth = 640;
  constants.WindowHeight = 480;
  constants.CameraZoom = 1.1;
  constants.ShowPath = false;
  constants.FramesPerCycle = FishProgramConstants::FramesPerPathSample;
  return RunFishProgram(constants);
}
