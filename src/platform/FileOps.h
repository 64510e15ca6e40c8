#pragma once
// Folder-tree operations in place of the shell's file operation: delete,
// copy and move files or whole folders without asking anything.
//
// A source whose last component holds '*' or '?' names every matching item
// of its folder (letter case ignored; "*.*" matches every name, with or
// without a dot). Copy and move put the sources into the target when the
// target is an existing folder (or when several items match); a single
// source otherwise becomes the target, missing parent folders created.
// Symbolic links are copied and deleted as links, never followed.
//
// Each returns true when everything was done; on failure `error` (when
// given) receives the reason and the operation may be partly done.
#include <string>

namespace platform {

bool deleteItems(const std::string& path, std::string* error = nullptr);
bool copyItems(const std::string& src, const std::string& dst, std::string* error = nullptr);
bool moveItems(const std::string& src, const std::string& dst, std::string* error = nullptr);
// Copies one file, replacing an existing target file.
bool copyFileOver(const std::string& src, const std::string& dst, std::string* error = nullptr);

} // namespace platform
