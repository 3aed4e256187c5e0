#pragma once
// Where a capture is kept: a PNG in the player's Pictures folder, named after the moment it was
// taken ("截图_2026-12-07_18-50-28.png"). A second picture in the same second gets "_2", then
// "_3", and so on; an existing file is never overwritten.

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <functional>
#include <string>

#include "platform/wall_clock.h"

namespace qrv::capture {

// The file name of the `n`-th picture taken in the second `time` (n counts from 1).
std::string CaptureFileName(const LocalDateTime& time, int n);

// The XDG Pictures folder, or the home folder when the desktop names none.
std::string PicturesFolder();

// What placing a picture under one name came to.
enum class Placing { kDone, kNameTaken, kFailed };

// Makes `folder` if needed, then calls `place` with the full path of each name in turn until one is
// not taken. On success `path` is the file's path; otherwise `error` says why, for the player.
bool PlaceUnderNewName(const std::string& folder, const LocalDateTime& time,
                       const std::function<Placing(const std::string& path, std::string& error)>& place,
                       std::string& path, std::string& error);

// Writes `picture` as a PNG under a new name in `folder`.
bool SavePng(GdkPixbuf* picture, const std::string& folder, const LocalDateTime& time, std::string& path,
             std::string& error);

}  // namespace qrv::capture
