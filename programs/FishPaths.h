/*=========================================================================

  Program:   Fish animation programs
  Module:    FishPaths.h

=========================================================================*/
/**
 * The keyframes of the two closed paths that the programs swim. Every
 * keyframe turns about the z axis; the angles are the single-precision values
 * of the literals as written, which the fish's heading follows.
 */

#ifndef FishPaths_h
#define FishPaths_h

#include "FishProgram.h"

// A figure eight in the plane z = 0, crossing itself at the origin.
inline constexpr FishKeyFrame FigureEightKeyFrames[] = {
  { 0.0f, -2.0f, -2.0f, 0.0f, 0.0f, { 0.0f, 0.0f, 1.0f } },
  { 1.0f, 0.0f, 0.0f, 0.0f, 1.570795f, { 0.0f, 0.0f, 1.0f } },
  { 2.0f, 2.0f, 2.0f, 0.0f, 0.0f, { 0.0f, 0.0f, 1.0f } },
  { 3.0f, 4.0f, 0.0f, 0.0f, -1.570795f, { 0.0f, 0.0f, 1.0f } },
  { 4.0f, 2.0f, -2.0f, 0.0f, -3.141592f, { 0.0f, 0.0f, 1.0f } },
  { 5.0f, 0.0f, 0.0f, 0.0f, -4.712388f, { 0.0f, 0.0f, 1.0f } },
  { 6.0f, -2.0f, 2.0f, 0.0f, -3.141592f, { 0.0f, 0.0f, 1.0f } },
  { 7.0f, -4.0f, 0.0f, 0.0f, -1.570795f, { 0.0f, 0.0f, 1.0f } },
};

// A circle of radius 2 about the origin, run through twice in the same
// sense: the heading grows by a quarter turn per keyframe, two full turns in
// all, so the closing step back to the first keyframe is a quarter turn too.
inline constexpr FishKeyFrame RingKeyFrames[] = {
  { 0.0f, 0.0f, -2.0f, 0.0f, 0.0f, { 0.0f, 0.0f, 1.0f } },
  { 1.0f, 2.0f, 0.0f, 0.0f, 1.570795f, { 0.0f, 0.0f, 1.0f } },
  { 2.0f, 0.0f, 2.0f, 0.0f, 3.141592f, { 0.0f, 0.0f, 1.0f } },
  { 3.0f, -2.0f, 0.0f, 0.0f, 4.712388f, { 0.0f, 0.0f, 1.0f } },
  { 4.0f, 0.0f, -2.0f, 0.0f, 6.283184f, { 0.0f, 0.0f, 1.0f } },
  { 5.0f, 2.0f, 0.0f, 0.0f, 7.85398f, { 0.0f, 0.0f, 1.0f } },
  { 6.0f, 0.0f, 2.0f, 0.0f, 9.424776f, { 0.0f, 0.0f, 1.0f } },
  { 7.0f, -2.0f, 0.0f, 0.0f, 10.995572f, { 0.0f, 0.0f, 1.0f } },
};

// A single keyframe at the origin: the fish holds its place and only flexes.
inline constexpr FishKeyFrame MooringKeyFrames[] = {
  { 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, { 0.0f, 0.0f, 1.0f } },
};

template <typename T, int N>
constexpr int CountOf(const T (&)[N])
{
  return N;
}

#endif
