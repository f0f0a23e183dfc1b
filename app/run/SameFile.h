#pragma once

#include <QString>

// Whether two file names (trimmed first) name the same file: by device and inode when both
// exist, so that hard links and symbolic links are recognised, else by where they lead: links
// followed, directories resolved ("./x" and "x" are the same). An empty name is no file.
bool isSameFile(const QString &first, const QString &second);
