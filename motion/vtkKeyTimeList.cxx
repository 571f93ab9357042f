/*=========================================================================

  Program:   Motion library
  Module:    vtkKeyTimeList.cxx

=========================================================================*/
#include "vtkKeyTimeList.h"

#include "vtkObjectFactory.h"

vtkStandardNewMacro(vtkKeyTimeList);
