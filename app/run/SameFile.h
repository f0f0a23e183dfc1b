#pragma once

#include <QString>

// Whether two file names (trimmed first) name the same file: by device and inode when both
// exist, so that hard links and symbolic links are recognised, else by where they lead: links
// followed, directories resolved ("./x" and "x" are the same). An empty name is no file.
bool isSameFile(const QString &first, const QString &second);

// Whether writing to the name written could replace the file kept. Wider than isSameFile, as
// a file that must be kept is better refused once too often: also the same name in one folder
// reached by two paths (a bind mount of the folder), and names in one folder that differ only
// in letter case, which are one file on a disk that ignores case whatever inode it reports.
bool wouldReplace(const QString &written, const QString &kept);

// Why the name cannot be looked at: the system's error number when the lookup fails for
// another reason than that there is nothing of that name (a chain of too many links, a
// folder without permission), 0 otherwise. Where a write to such a name lands is unknown.
int nameLookupError(const QString &name);
