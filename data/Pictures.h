/*=========================================================================

  Program:   Pelagrin data generator
  Module:    Pictures.h

=========================================================================*/
/**
 * The two bitmaps of the programs: the underwater background and the fish's
 * skin.
 */

#ifndef Pictures_h
#define Pictures_h

#include <vtkSmartPointer.h>

class vtkImageData;

namespace pictures
{

/** Size of the background picture. */
constexpr int UnderwaterWidth = 1024;
constexpr int UnderwaterHeight = 768;

/**
 * The underwater scene: water deepening from the bright surface downwards,
 * light shafts, a sandy floor with caustics, rocks and weed, bubbles and
 * floating particles. Image row 0 is the bottom of the picture, as the
 * bitmap reader delivers it.
 */
vtkSmartPointer<vtkImageData> PaintUnderwater();

/** Size of the skin picture. */
constexpr int SkinWidth = 512;
constexpr int SkinHeight = 1024;

/**
 * The fish's skin in the layout of the programs' cylindrical mapping: image
 * columns follow the texture coordinate s, the angle around the body from
 * the belly (s = 0) over the flank (s = 0.5) to the back (s = 1), the same on
 * both flanks; image rows follow t, along the body from the snout (t = 0,
 * row 0) to the tail (t = 1). Olive back, golden flanks, a cream belly,
 * dark bars, scales, a lateral line, the gill cover and the mouth.
 */
vtkSmartPointer<vtkImageData> PaintFishSkin();

} // namespace pictures

#endif
