/*=========================================================================

  Program:   Fish animation programs
  Module:    MeshFileCheck.h

=========================================================================*/
/**
 * Checks of the fish mesh "fish.vtk", a VTK legacy file of polygonal data,
 * around VTK's own reader.
 *
 * VTK's legacy reader trusts the counts in the file: it allocates what a
 * count asks for before it reads a value, and it trusts the cell sizes and
 * point ids it reads. A file of a few bytes that claims a billion points
 * takes gigabytes, a cell size past the end of the cell list is read past
 * the end of its array, and a point id past the last point crashes the first
 * filter that uses it. So the file is checked twice:
 *
 * - before the reader sees it, its layout is walked the way the reader reads
 *   it: header, dataset type, and every section with its counts. Every block
 *   of values must fit in what is left of the file (so that no allocation is
 *   sized by a count the file cannot hold), and the cell lists must be well
 *   formed (sizes and offsets that stay inside their connectivity);
 * - after the reader has read it without reporting an error, the polygonal
 *   data must have finite points, cells whose point ids lie in range, at
 *   least one cell, and one finite cell scalar per cell.
 *
 * The first check knows the sections and data types that VTK 9.1's legacy
 * writer writes for polygonal data (both the cell layout of file version 5
 * and the older one); a file with anything else is refused as unsupported.
 */

#ifndef MeshFileCheck_h
#define MeshFileCheck_h

#include <cstddef>
#include <string>

class vtkPolyData;
class vtkPolyDataReader;

/**
 * What is wrong with the layout of a legacy VTK polygonal data file, given
 * as its bytes; empty when nothing is.
 */
std::string CheckLegacyPolyDataLayout(const char* bytes, std::size_t size);

/**
 * What is wrong with polygonal data as the fish mesh; empty when nothing is.
 */
std::string CheckFishMesh(vtkPolyData* mesh);

/**
 * Checks the bytes of a mesh file, lets the reader read them (from memory,
 * so that it reads exactly what was checked) and checks what it read.
 * Returns what is wrong, or an empty string when the reader's output is the
 * mesh. The reader's own error reports are collected into the answer
 * rather than printed.
 */
std::string ReadCheckedFishMesh(vtkPolyDataReader* reader, const std::string& bytes);

/**
 * The same for a file: reads it whole and checks it. A file that cannot be
 * read gives the reason.
 */
std::string ReadCheckedFishMeshFile(vtkPolyDataReader* reader, const char* fileName);

#endif
