#pragma once
// A check of an XDTS file against the format's published JSON schema
// (written out here by hand): the first line, then an object with
//   version       integer, 5
//   header        {cut, scene}: strings of 1 to 4 digits
//   timeTables    non-empty array of {name: string, duration: integer >= 1,
//                 timeTableHeaders: [{fieldId, names: [string]}],
//                 fields: [{fieldId, tracks: [{trackNo: integer >= 0,
//                 frames: [{frame: integer >= 0, data: [{id: integer,
//                 values: [string]}]}]}]}]}
//   fieldId       one of 0 (CELL), 3 (DIALOG), 5 (CAMERAWORK)
// plus what readers hold to: a CELL value is a drawing number or one of
// the SYMBOL_ names, and a track's frames rise.
#include <string>
#include <vector>

namespace zv::test {

// Every way `fileText` breaks the schema (empty when it passes).
std::vector<std::string> XdtsSchemaErrors(const std::string& fileText);

} // namespace zv::test
