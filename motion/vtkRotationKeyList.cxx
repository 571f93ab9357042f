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
  RotationKeyNode* node = this->NodeAt(i);
  return node ? node->Value : Quaternion::Zero;
}
