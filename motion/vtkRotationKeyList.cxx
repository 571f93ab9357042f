/*=========================================================================

  Program:   Motion library
  Module:    vtkRotationKeyList.cxx

=========================================================================*/
#include "vtkRotationKeyList.h"

#include "vtkObjectFactory.h"

vtkStandardNewMacro(vtkRotationKeyList);

//------------------------------------------------------------------------------
Quaternion vtkRotationKeyList::GetValue(int i)
{
  if (this->NumberOfItems == 0)
  {
    return Quaternion::Zero;
  }
  if (i >= this->NumberOfItems)
  {
    return this->Head->Value;
  }
  if (i < 0)
  {
    return this->Tail->Value;
  }
  this->MoveCursorTo(i);
  return this->Cursor->Value;
}
