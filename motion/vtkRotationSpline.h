/*=========================================================================

  Program:   Motion library
  Module:    vtkRotationSpline.h

=========================================================================*/
/**
 * @class   vtkRotationSpline
 * @brief   base class of the splines that interpolate rotations over time
 *
 * vtkRotationSpline holds the time-ordered rotation keys (time, unit
 * Quaternion), the closed flag, the two boundary rotations that stand in for
 * the missing neighbours of the end keys of an open spline, and the storage a
 * concrete spline fills in Compute(): the knot times, the control rotations
 * and the modification time of that build. Its own Compute() does nothing and
 * its own Evaluate() answers the identity; vtkKochanekRotationSpline is the
 * concrete subclass.
 *
 * The closed flag and boundary rotation accessors are plain: they neither
 * compare nor call Modified(), and neither does AddPoint(). The class has no
 * New() of its own; it is only constructed as part of a subclass.
 *
 * @sa
 * vtkKochanekRotationSpline vtkRotationKeyList
 */

#ifndef vtkRotationSpline_h
#define vtkRotationSpline_h

#include "Quaternion.h"
#include "vtkObject.h"

class vtkRotationKeyList;

class vtkRotationSpline : public vtkObject
{
public:
  vtkAbstractTypeMacro(vtkRotationSpline, vtkObject);

  /**
   * The object's own modification time; the key list is not consulted.
   */
  vtkMTimeType GetMTime() override;

  /**
   * Build the interpolation data from the keys. Does nothing here.
   */
  virtual void Compute();

  /**
   * Rotation at time t. The identity here, whatever t and the keys.
   */
  virtual Quaternion Evaluate(float t);

  /**
   * Closed flag: 0 for an open curve, 1 for a curve that returns from the
   * last key to the first.
   */
  virtual void SetClosed(int closed);
  virtual int GetClosed();
  virtual void ClosedOn();
  virtual void ClosedOff();

  /**
   * Rotations assumed before the first key and after the last key of an
   * open spline; stored as given, without normalising. Identity by default.
   */
  virtual void SetLeftRotation(Quaternion q);
  virtual Quaternion GetLeftRotation();
  virtual void SetRightRotation(Quaternion q);
  virtual Quaternion GetRightRotation();

  /**
   * Add the rotation q at time t and return the index at which t stands in
   * the keys. q is normalised first; a squared norm below 1e-6 stores the
   * identity. A time already present keeps its rotation.
   */
  int AddPoint(float t, Quaternion q);

protected:
  vtkRotationSpline();
  ~vtkRotationSpline() override;

  Quaternion LeftRotation;
  Quaternion RightRotation;
  int Closed;
  vtkRotationKeyList* Keys;
  float* KnotTimes;
  Quaternion* ControlRotations;
  vtkMTimeType BuildTime;

private:
  vtkRotationSpline(const vtkRotationSpline&) = delete;
  void operator=(const vtkRotationSpline&) = delete;
};

#endif
