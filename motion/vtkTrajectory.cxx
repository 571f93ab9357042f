/*=========================================================================

  Program:   Motion library
  Module:    vtkTrajectory.cxx

=========================================================================*/
#include "vtkTrajectory.h"

#include "Quaternion.h"
#include "vtkKeyTimeList.h"
#include "vtkKochanekRotationSpline.h"
#include "vtkKochanekSpline.h"
#include "vtkObjectFactory.h"

#include <algorithm>
#include <cmath>

// The position tracks rely on VTK's closed vtkKochanekSpline adding a closing
// segment from the last key time tn to tn + 1 whatever the key spacing, and
// clamping (not wrapping) outside [t0, tn + 1]. A closed trajectory therefore
// returns to its first keyframe's position one time unit after its last
// keyframe, which is where the rotation track closes too.

vtkObjectFactoryNewMacro(vtkTrajectory);

//------------------------------------------------------------------------------
vtkTrajectory::vtkTrajectory()
{
  this->XSpline = vtkKochanekSpline::New();
  this->YSpline = vtkKochanekSpline::New();
  this->ZSpline = vtkKochanekSpline::New();
  this->RotationSpline = vtkKochanekRotationSpline::New();
  this->KeyTimes = vtkKeyTimeList::New();
  for (int i = 0; i < 3; ++i)
  {
    this->SingleKeyPosition[i] = 0.0f;
  }
  this->SingleKeyAngle = 0.0f;
  this->SingleKeyAxis[0] = 0.0f;
  this->SingleKeyAxis[1] = 1.0f;
  this->SingleKeyAxis[2] = 0.0f;
}

//------------------------------------------------------------------------------
vtkTrajectory::~vtkTrajectory()
{
  this->XSpline->Delete();
  this->YSpline->Delete();
  this->ZSpline->Delete();
  this->RotationSpline->Delete();
  this->KeyTimes->Delete();
}

//------------------------------------------------------------------------------
void vtkTrajectory::AddKeyFrame(
  float t, float x, float y, float z, float angle, const float axis[3])
{
  // A time that is not a number has no place among the others; such a
  // keyframe is ignored rather than left to corrupt the tracks' order.
  if (std::isnan(t))
  {
    return;
  }

  // The rotation key keeps the first rotation given for a time.
  Quaternion rotation;
  rotation.SetAngleAxis(angle, axis);
  this->RotationSpline->AddPoint(t, rotation);

  this->XSpline->AddPoint(t, x);
  this->YSpline->AddPoint(t, y);
  this->ZSpline->AddPoint(t, z);
  this->KeyTimes->InsertItem(t, 0);

  // While there is only one time, its latest keyframe is the whole pose.
  if (this->GetNumberOfKeyFrames() == 1)
  {
    this->SingleKeyPosition[0] = x;
    this->SingleKeyPosition[1] = y;
    this->SingleKeyPosition[2] = z;
    this->SingleKeyAngle = angle;
    for (int i = 0; i < 3; ++i)
    {
      this->SingleKeyAxis[i] = axis[i];
    }
  }
}

//------------------------------------------------------------------------------
void vtkTrajectory::AddKeyFrame(
  float t, float x, float y, float z, float angle, float ax, float ay, float az)
{
  const float axis[3] = { ax, ay, az };
  this->AddKeyFrame(t, x, y, z, angle, axis);
}

//------------------------------------------------------------------------------
int vtkTrajectory::GetNumberOfKeyFrames()
{
  return this->KeyTimes->GetNumberOfItems();
}

//------------------------------------------------------------------------------
float vtkTrajectory::GetKeyFrameTime(int i)
{
  return this->KeyTimes->GetKey(i);
}

//------------------------------------------------------------------------------
void vtkTrajectory::Evaluate(float t, float& x, float& y, float& z, float& angle, float axis[3])
{
  if (this->GetNumberOfKeyFrames() == 1)
  {
    x = this->SingleKeyPosition[0];
    y = this->SingleKeyPosition[1];
    z = this->SingleKeyPosition[2];
    angle = this->SingleKeyAngle;
    for (int i = 0; i < 3; ++i)
    {
      axis[i] = this->SingleKeyAxis[i];
    }
    return;
  }
  x = static_cast<float>(this->XSpline->Evaluate(t));
  y = static_cast<float>(this->YSpline->Evaluate(t));
  z = static_cast<float>(this->ZSpline->Evaluate(t));
  this->RotationSpline->Evaluate(t).GetAngleAxis(angle, axis);
}

//------------------------------------------------------------------------------
void vtkTrajectory::Evaluate(
  float t, float& x, float& y, float& z, float& angle, float& ax, float& ay, float& az)
{
  float axis[3];
  this->Evaluate(t, x, y, z, angle, axis);
  ax = axis[0];
  ay = axis[1];
  az = axis[2];
}

//------------------------------------------------------------------------------
void vtkTrajectory::EvaluateAtKeyFrame(
  int i, float& x, float& y, float& z, float& angle, float& ax, float& ay, float& az)
{
  this->Evaluate(this->GetKeyFrameTime(i), x, y, z, angle, ax, ay, az);
}

//------------------------------------------------------------------------------
void vtkTrajectory::SetClosed(int closed)
{
  this->XSpline->SetClosed(closed);
  this->YSpline->SetClosed(closed);
  this->ZSpline->SetClosed(closed);
  this->RotationSpline->SetClosed(closed);
}

//------------------------------------------------------------------------------
int vtkTrajectory::GetClosed()
{
  return this->XSpline->GetClosed();
}

//------------------------------------------------------------------------------
vtkMTimeType vtkTrajectory::GetMTime()
{
  vtkMTimeType latest = this->XSpline->GetMTime();
  latest = std::max(latest, this->YSpline->GetMTime());
  latest = std::max(latest, this->ZSpline->GetMTime());
  latest = std::max(latest, this->RotationSpline->GetMTime());
  return latest;
}
