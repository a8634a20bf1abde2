#pragma once

#include <QString>

// Files the programs write are first built under a private temporary name (mode 0600) and
// renamed into place when complete; before the rename they get the mode an ordinary new
// file would have, so colleagues and shared folders can open them as they open any other.
namespace common {

// 0666 less the process's umask.
unsigned newFileMode();

// The mode `target` should end with: the mode of the file it replaces when there is one
// (as an editor saving over it keeps it), otherwise newFileMode().
unsigned modeForTarget(const QString& target);

// Sets `path` to modeForTarget(target); false (errno set) when it cannot.
bool applyTargetMode(const QString& path, const QString& target);

} // namespace common
