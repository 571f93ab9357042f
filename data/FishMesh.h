/*=========================================================================

  Program:   Pelagrin data generator
  Module:    FishMesh.h

=========================================================================*/
/**
 * The fish model: a closed body surface with a forked tail fin, two dorsal
 * fins, an anal fin, pectoral and pelvic fin pairs and two eyes.
 *
 * Model frame: the body runs along x from the snout (x = -0.515) to the tip
 * of the tail fin (x = 0.98), its centre line at y = 0, z = -0.213; the back
 * faces +y and the flanks face +z and -z. Every part is a closed surface with
 * outward normals; the fins are thin closed slabs whose roots are buried in
 * the body.
 *
 * Cell scalars tell the programs what to draw how: 0 for the body, which
 * carries the skin texture, and values of at least 1 for the parts drawn in
 * colour, which the default lookup table over [0, 10] turns into red-orange
 * to golden fins and blue pupils.
 */

#ifndef FishMesh_h
#define FishMesh_h

#include <vtkSmartPointer.h>

class vtkPolyData;

namespace fishmodel
{

/** Centre line of the body in the model frame. */
constexpr double CentreY = 0.0;
constexpr double CentreZ = -0.213;
/** Snout and tail tip along x. */
constexpr double SnoutX = -0.515;
constexpr double TailTipX = 0.98;

/** The axis of the programs' cylindrical texture mapping. */
constexpr double CylinderPoint1[3] = { -0.518467, 0.00019908, -0.213065 };
constexpr double CylinderPoint2[3] = { 0.97664, 0.0240073, -0.213065 };

/** Cell scalars. */
constexpr float BodyScalar = 0.0f;
constexpr float RedFinScalar = 1.0f;
constexpr float GoldenFinScalar = 1.9f;
constexpr float IrisScalar = 2.4f;
constexpr float PupilScalar = 10.0f;

/** Name of the cell scalar array. */
constexpr const char* ScalarName = "parts";

/**
 * Builds the fish: triangles only, cell scalars as the active scalars of the
 * cell data. The body cells come first.
 */
vtkSmartPointer<vtkPolyData> BuildFishMesh();

} // namespace fishmodel

#endif
