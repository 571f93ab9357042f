// pelagrin-eight: the fish swims a figure eight, with the path drawn as a tube and the keyframes as
// small spheres.
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
  constants.ShowPath = true;
  constants.FramesPerCycle = FishProgramConstants::FramesPerPathSample;
  return RunFishProgram(constants);
}
