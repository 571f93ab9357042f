/*=========================================================================

  Program:   Fish animation programs
  Module:    DeformationData.h

=========================================================================*/
/**
 * Reading of the deformation data file "fish.trc", which configures the
 * fish's vtkShapeTransform.
 *
 * The file is plain text read with fscanf; white space is interchangeable
 * and anything after the last block is ignored:
 *
 *   [R]            support radius, a positive finite number
 *   [N]            number of control points
 *   x y z          N control points
 *   [M]            number of coefficient rows, M = N + 4
 *   cx cy cz       M rows: N basis weights, the constant term, then the
 *                  factors of x, y and z
 *   [K]            number of index entries, K = N
 *   k              K entries: coefficient row (0 to N-1) of control point i
 *
 * The very first character must be "[". Counts are checked against the size
 * of the file before anything is allocated, and every number must be finite.
 */

#ifndef DeformationData_h
#define DeformationData_h

#include "vtkNew.h"
#include "vtkPointLocator.h"
#include "vtkPoints.h"
#include "vtkPolyData.h"
#include "vtkSmartPointer.h"

#include <cstdio>
#include <vector>

class vtkShapeTransform;

enum class DeformationDataOutcome
{
  Configured, ///< read completely; the shape transform was configured
  NoFile,     ///< the file cannot be opened; the transform stays unconfigured
  Malformed   ///< the file does not hold valid deformation data
};

/**
 * Everything a configured vtkShapeTransform borrows. Keep it alive as long
 * as the transform can run; its destructor releases all of it.
 */
struct DeformationData
{
  DeformationData();
  ~DeformationData();
  DeformationData(const DeformationData&) = delete;
  DeformationData& operator=(const DeformationData&) = delete;

  float Radius = 0.0f;
  vtkNew<vtkPoints> ControlPoints;
  std::vector<float> CoefficientsX;
  std::vector<float> CoefficientsY;
  std::vector<float> CoefficientsZ;
  std::vector<int> CoefficientIndex;
  vtkSmartPointer<vtkPolyData> LocatorData;
  vtkSmartPointer<vtkPointLocator> Locator;
};

/**
 * Read deformation data from an open stream into data, which must be newly
 * created, and configure transform with it. The stream must be able to tell
 * its size (ftell and fseek), as files and memory streams can. On a
 * malformed stream, *problem (when given) receives a short description and
 * the transform is left as it was.
 */
DeformationDataOutcome ReadDeformationData(
  FILE* file, vtkShapeTransform* transform, DeformationData& data, const char** problem = nullptr);

/**
 * Read "fish.trc" from the working directory. A missing file gives NoFile; a
 * malformed one gives Malformed after a one-line message on standard error.
 */
DeformationDataOutcome ReadDeformationData(vtkShapeTransform* transform, DeformationData& data);

#endif
