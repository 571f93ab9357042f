/*=========================================================================

  Program:   Motion library
  Module:    vtkKochanekRotationSpline.h

=========================================================================*/
/**
 * @class   vtkKochanekRotationSpline
 * @brief   Kochanek-Bartels spline on unit quaternions
 *
 * vtkKochanekRotationSpline interpolates the rotation keys of its base class
 * with a Kochanek-Bartels spline (tension, continuity, bias) carried over to
 * unit quaternions. The tangents of a key come from the logarithms of the
 * relative rotations to its neighbours and are turned into two inner control
 * rotations per key; between two keys the value is the spherical quadrangle
 * interpolation (Squad) of the keys and their controls.
 *
 * On an open spline the boundary rotations stand in for the neighbours of the
 * first and last key. A closed spline adds a closing segment one time unit
 * long from the last key back to the first. Times outside the knots are
 * clamped, and a time that is not a number gives the first knot's value.
 *
 * Each segment's two inner slerps run between rotations that are fixed once
 * the controls are built, so their angles and inverse sines are worked out
 * then too (QuaternionArc): an evaluation costs one Squad's outer slerp and
 * four sines, with the same result to the bit as Squad of the keys and
 * controls.
 *
 * Evaluate() rebuilds the control data when the spline or its keys were
 * modified since the last build, and also when the number of keys or the
 * closed flag differ from the ones the data were built for (AddPoint and
 * SetClosed do not mark the spline modified). With up-to-date data it
 * allocates nothing. Fewer than two keys are reported as an error and answer
 * the identity.
 *
 * @sa
 * vtkRotationSpline Quaternion
 */

#ifndef vtkKochanekRotationSpline_h
#define vtkKochanekRotationSpline_h

#include "QuaternionArc.h"
#include "vtkRotationSpline.h"

#include <vector>

class vtkKochanekRotationSpline : public vtkRotationSpline
{
public:
  static vtkKochanekRotationSpline* New();
  vtkTypeMacro(vtkKochanekRotationSpline, vtkRotationSpline);

  /**
   * Rebuild the knot times and control rotations from the current keys, the
   * closed flag and the three settings.
   */
  void Compute() override;

  /**
   * Rotation at time t, rebuilding the control data first when they are out
   * of date.
   */
  Quaternion Evaluate(float t) override;

  /**
   * The later of the spline's own modification time and its keys'.
   */
  vtkMTimeType GetMTime() override;

  ///@{
  /**
   * Bias, tension and continuity of every key; all 0 by default. Bias > 0
   * weights the incoming difference more in both tangents, tension 1 makes
   * both tangents zero, continuity != 0 makes the incoming and outgoing
   * tangents differ. No range is enforced.
   */
  vtkSetMacro(DefaultBias, float);
  vtkGetMacro(DefaultBias, float);
  vtkSetMacro(DefaultTension, float);
  vtkGetMacro(DefaultTension, float);
  vtkSetMacro(DefaultContinuity, float);
  vtkGetMacro(DefaultContinuity, float);
  ///@}

protected:
  vtkKochanekRotationSpline();
  ~vtkKochanekRotationSpline() override = default;

  float DefaultBias;
  float DefaultTension;
  float DefaultContinuity;

  // Key count and closed flag (0 or 1) the control data were built for; -1
  // before the first build.
  int ComputedNumberOfKeys;
  int ComputedClosed;

  // The two arcs of each segment's Squad, fixed between two builds of the
  // controls: from key i to key i + 1, and from a_i to b_(i+1).
  struct SegmentArcs
  {
    QuaternionArc Ends;
    QuaternionArc Controls;
  };
  std::vector<SegmentArcs> Segments;

private:
  int IsClosed() const { return this->Closed != 0 ? 1 : 0; }
  bool ControlsOutOfDate();
  void BuildSegmentArcs(int numberOfKeys, int closed);

  vtkKochanekRotationSpline(const vtkKochanekRotationSpline&) = delete;
  void operator=(const vtkKochanekRotationSpline&) = delete;
};

#endif
