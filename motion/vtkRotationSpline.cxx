/*=========================================================================

  Program:   Motion library
  Module:    vtkRotationSpline.cxx

=========================================================================*/
#include "vtkRotationSpline.h"

#include "vtkRotationKeyList.h"

#include <cmath>

//------------------------------------------------------------------------------
vtkRotationSpline::vtkRotationSpline()
  : LeftRotation(Quaternion::Identity)
  , RightRotation(Quaternion::Identity)
  , Closed(0)
  , Keys(vtkRotationKeyList::New())
  , KnotTimes(nullptr)
  , ControlRotations(nullptr)
  , BuildTime(0)
{
}

//------------------------------------------------------------------------------
vtkRotationSpline::~vtkRotationSpline()
{
  this->Keys->Delete();
  delete[] this->KnotTimes;
  delete[] this->ControlRotations;
}

//------------------------------------------------------------------------------
vtkMTimeType vtkRotationSpline::GetMTime()
{
  return this->Superclass::GetMTime();
}

//------------------------------------------------------------------------------
void vtkRotationSpline::Compute() {}

//------------------------------------------------------------------------------
Quaternion vtkRotationSpline::Evaluate(float)
{
  return Quaternion::Identity;
}

//------------------------------------------------------------------------------
void vtkRotationSpline::SetClosed(int closed)
{
  this->Closed = closed;
}

//------------------------------------------------------------------------------
int vtkRotationSpline::GetClosed()
{
  return this->Closed;
}

//------------------------------------------------------------------------------
void vtkRotationSpline::ClosedOn()
{
  this->SetClosed(1);
}

//------------------------------------------------------------------------------
void vtkRotationSpline::ClosedOff()
{
  this->SetClosed(0);
}

//------------------------------------------------------------------------------
void vtkRotationSpline::SetLeftRotation(Quaternion q)
{
  this->LeftRotation = q;
}

//------------------------------------------------------------------------------
Quaternion vtkRotationSpline::GetLeftRotation()
{
  return this->LeftRotation;
}

//------------------------------------------------------------------------------
void vtkRotationSpline::SetRightRotation(Quaternion q)
{
  this->RightRotation = q;
}

//------------------------------------------------------------------------------
Quaternion vtkRotationSpline::GetRightRotation()
{
  return this->RightRotation;
}

//------------------------------------------------------------------------------
int vtkRotationSpline::AddPoint(float t, Quaternion q)
{
  const float n = q.SquaredNorm();
  if (n < 1e-6)
  {
    // Too short to carry a direction: no rotation.
    q = Quaternion::Identity;
  }
  else
  {
    q = q * static_cast<float>(1.0 / std::sqrt(static_cast<double>(n)));
  }
  return this->Keys->InsertItem(t, q);
}
