// Expanding a zip archive into a folder of the save area: the zip built-in and
// the file service's expansion of a zipped game use it.
#pragma once

// Extracts every entry of the archive at zipPath to "destination/name" through
// the file service's save-area write, restoring each entry's Unix permission
// bits. Entries whose names leave the destination (absolute, or with a ".."
// component) are refused, their name slot left empty; an entry whose bytes
// differ from its declared size, or past 256 MiB (1 GiB for the archive), is
// not written. The first `nameCount`
// paths are written into `names`, `nameSize` bytes per slot. Entries of size 0
// (folders among them) are skipped. Returns the number of entries, or 0 when
// the archive cannot be opened.
int Command_Unzip(const char* zipPath, const char* destination, int nameCount, int nameSize, char* names);
