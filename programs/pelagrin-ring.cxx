// pelagrin-ring: the fish swims a circle twice per cycle, with the path drawn as a tube and the
// keyframes as small spheres.
#include "FishPaths.h"
#include "FishProgram.h"

int main()
{
  FishProgramConstants constants;
  constants.KeyFrames = RingKeyFrames;
  constants.NumberOfKeyFrames = CountOf(RingKeyFrames);
  constants.WindowWidth = 640;
  constants.WindowHeight = 480;
  constants.CameraZoom = 2.0;
  constants.ShowPath = true;
  constants.FramesPerCycle = FishProgramConstants::FramesPerPathSample;
  return RunFishProgram(constants);
}
