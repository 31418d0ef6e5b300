// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileDevice>
#include <QString>
#include <QStringList>

class QByteArray;

/// Writing files so that a crash, a power cut or a full disk leaves either the
/// old or the new file whole, and every failure is reported as one.
namespace td::files {

/// Writes all of `bytes` to `file`, pushes them out of Qt's buffer and syncs
/// them to the disk. Any short write, failed flush or failed sync is a failure;
/// `error` (when given) then says why.
bool writeFully(QFileDevice& file, const QByteArray& bytes, QString* error = nullptr);

/// Replaces the file at `path` with `bytes` through a temporary file in the
/// same folder and a rename, then syncs the folder. False, with the reason in
/// `error`, when anything failed; the old file is then untouched. The file
/// gets `permissions`; with none, it keeps its own (a new one: the umask's).
bool saveFile(const QString& path, const QByteArray& bytes, QString* error = nullptr,
              QFileDevice::Permissions permissions = QFileDevice::ReadOwner |
                                                     QFileDevice::WriteOwner);

/// Syncs a folder's entries (renames, new files) to the disk.
bool syncFolder(const QString& folder);

/// Removes what interrupted saves of the files `names` left in `folder`: the
/// temporary files a rename never moved into place. Returns how many went.
int removeStaleTemporaries(const QString& folder, const QStringList& names);
/// Would `fileName` be such a leftover of a save of `name`?
bool isStaleTemporary(const QString& fileName, const QString& name);

/// Takes group and other access away from `folder` (0700) and from the
/// regular files directly in it (0600); links are left alone.
void makePrivate(const QString& folder);

/// Keeps a copy of `path` beside it ("<path>.bak", then ".bak.2", ...) that
/// no later save replaces; a copy with the same bytes that is kept already
/// counts. Of the copies, the newest three stay, no two the same; the others
/// go once this one is kept. Returns the copy's path, or an empty string on
/// failure (then nothing is removed).
QString keepAside(const QString& path);

} // namespace td::files
