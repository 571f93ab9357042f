/*=========================================================================

  Program:   Motion library tests
  Module:    KeyFrameTables.h

=========================================================================*/
/**
 * The keyframes of the programs' paths, written out once for the tests and
 * benchmarks: time, position and rotation angle (radians) about the z axis.
 * The program tests compare the programs against these values, so they are
 * kept apart from the programs' own tables.
 */

#ifndef KeyFrameTables_h
#define KeyFrameTables_h

struct KeyFrameRow
{
  float Time, X, Y, Z, Angle;
};

// A figure eight crossing itself at the origin.
inline constexpr KeyFrameRow FigureEightTable[8] = {
  { 0.0f, -2.0f, -2.0f, 0.0f, 0.0f },
  { 1.0f, 0.0f, 0.0f, 0.0f, 1.570795f },
  { 2.0f, 2.0f, 2.0f, 0.0f, 0.0f },
  { 3.0f, 4.0f, 0.0f, 0.0f, -1.570795f },
  { 4.0f, 2.0f, -2.0f, 0.0f, -3.141592f },
  { 5.0f, 0.0f, 0.0f, 0.0f, -4.712388f },
  { 6.0f, -2.0f, 2.0f, 0.0f, -3.141592f },
  { 7.0f, -4.0f, 0.0f, 0.0f, -1.570795f },
};

// A circle of radius 2 run through twice, a quarter turn per keyframe.
inline constexpr KeyFrameRow RingTable[8] = {
  { 0.0f, 0.0f, -2.0f, 0.0f, 0.0f },
  { 1.0f, 2.0f, 0.0f, 0.0f, 1.570795f },
  { 2.0f, 0.0f, 2.0f, 0.0f, 3.141592f },
  { 3.0f, -2.0f, 0.0f, 0.0f, 4.712388f },
  { 4.0f, 0.0f, -2.0f, 0.0f, 6.283184f },
  { 5.0f, 2.0f, 0.0f, 0.0f, 7.85398f },
  { 6.0f, 0.0f, 2.0f, 0.0f, 9.424776f },
  { 7.0f, -2.0f, 0.0f, 0.0f, 10.995572f },
};

// One keyframe at the origin.
inline constexpr KeyFrameRow MooringTable[1] = {
  { 0.0f, 0.0f, 0.0f, 0.0f, 0.0f },
};

#endif
