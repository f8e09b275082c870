#pragma once
// The project model's Load and Save with the bytes of a project file
// instead of a file of the machine the installer runs on.
#include <string>

class TProjectProperty;

namespace setupproj {

// Raises ESetupError as Load does (a number that does not convert).
void LoadProjectBytes(TProjectProperty& project, const std::string& cp932);
// The canonical layout that Save writes.
std::string SaveProjectBytes(TProjectProperty& project);

}  // namespace setupproj
