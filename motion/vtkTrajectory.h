/*=========================================================================

  Program:   Motion library
  Module:    vtkTrajectory.h

=========================================================================*/
/**
 * @class   vtkTrajectory
 * @brief   keyframed pose (position and rotation) as a function of time
 *
 * vtkTrajectory turns keyframes, each a time with a position and a rotation
 * (an angle in radians about an axis), into a pose at any time. Positions
 * are interpolated by three vtkKochanekSpline, one per coordinate, keyed by
 * the keyframe time; rotations by a vtkKochanekRotationSpline of unit
 * quaternions. The keyframe times are also kept, ascending and without
 * repeats, in a vtkKeyTimeList.
 *
 * A trajectory with exactly one keyframe returns that keyframe's pose, as it
 * was given, at every time, without consulting any spline.
 *
 * The class declares no type information of its own and reports "vtkObject"
 * as its class name, although New() asks the object factory for
 * "vtkTrajectory".
 */

#ifndef vtkTrajectory_h
#define vtkTrajectory_h

#include "vtkObject.h"

class vtkKeyTimeList;
class vtkKochanekSpline;
class vtkRotationSpline;

class vtkTrajectory : public vtkObject
{
public:
  static vtkTrajectory* New();

  /**
   * Add a keyframe: time t, position (x, y, z), rotation by angle (radians)
   * about axis (which need not be of unit length). A time already present
   * keeps its rotation key, while the position splines receive the point.
   * A keyframe whose time is NaN is ignored.
   */
  void AddKeyFrame(float t, float x, float y, float z, float angle, const float axis[3]);
  void AddKeyFrame(float t, float x, float y, float z, float angle, float ax, float ay, float az);

  /**
   * Number of distinct keyframe times.
   */
  int GetNumberOfKeyFrames();

  /**
   * Time of keyframe i. Outside the range, i >= count gives the first time
   * and i < 0 the last; no keyframe at all gives 0.0.
   */
  float GetKeyFrameTime(int i);

  /**
   * Pose at time t: position, rotation angle in radians and rotation axis.
   * The trajectory neither clamps nor wraps t; that is the splines' part.
   */
  void Evaluate(float t, float& x, float& y, float& z, float& angle, float axis[3]);
  void Evaluate(
    float t, float& x, float& y, float& z, float& angle, float& ax, float& ay, float& az);

  /**
   * Pose at the time of keyframe i (with GetKeyFrameTime's rules outside the
   * range).
   */
  void EvaluateAtKeyFrame(
    int i, float& x, float& y, float& z, float& angle, float& ax, float& ay, float& az);

  /**
   * Closed-path flag of every track. A closed trajectory returns to its first
   * keyframe one time unit after its last one.
   */
  void SetClosed(int closed);
  int GetClosed();
  void ClosedOn() { this->SetClosed(1); }

  /**
   * The latest modification time of the tracks; the trajectory's own time
   * stamp is not part of it.
   */
  vtkMTimeType GetMTime() override;

protected:
  vtkTrajectory();
  ~vtkTrajectory() override;

  vtkKochanekSpline* XSpline;
  vtkKochanekSpline* YSpline;
  vtkKochanekSpline* ZSpline;
  vtkRotationSpline* RotationSpline;
  vtkKeyTimeList* KeyTimes;
  float SingleKeyPosition[3];
  float SingleKeyAngle;
  float SingleKeyAxis[3];

private:
  vtkTrajectory(const vtkTrajectory&) = delete;
  void operator=(const vtkTrajectory&) = delete;
};

#endif
