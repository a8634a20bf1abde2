#include "common/permessi.h"

#include <QFile>
#include <sys/stat.h>

namespace common {

unsigned newFileMode() {
    // umask can only be read by setting it; the programs start no threads that create files.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666u & ~unsigned(mask);
}

unsigned modeForTarget(const QString& target) {
    struct stat st;
    if (::stat(QFile::encodeName(target).constData(), &st) == 0 && S_ISREG(st.st_mode))
        return unsigned(st.st_mode) & 07777u;
    return newFileMode();
}

bool applyTargetMode(const QString& path, const QString& target) {
    return ::chmod(QFile::encodeName(path).constData(), mode_t(modeForTarget(target))) == 0;
}

} // namespace common
