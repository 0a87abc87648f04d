// Folder services on the program's paths (GBK, '\' separators): the program
// folder, listing sub-folders, creating a path, clearing the read-only
// attribute, deleting and copying folders. Failures are reported through the
// BOOL result only; a walk goes on past a failed entry.
#pragma once

#include "platform/base/Array.h"
#include "platform/base/String.h"

// The folder of the program file, without a trailing backslash.
CString GetAppDir();

// Appends (without emptying out) the name of every directory other than "."
// and ".." that matches the pattern (such as folder + "\*.*"). Always TRUE.
BOOL ListSubFolders(const CString& pattern, CStringArray& out);

// Creates the folder and every missing folder above it, from the top down;
// one trailing backslash is ignored. TRUE when the folder exists afterwards
// (also when another thread created it meanwhile); a file in the way fails.
BOOL CreateDirectoryPath(const CString& path);

// Clears the read-only attribute; FALSE when the attributes cannot be read or
// written.
BOOL ClearReadOnly(const CString& path);

// Deletes the folder (no trailing backslash) with everything in it, read-only
// entries included. A symbolic link is removed itself and never followed, so
// nothing outside the tree is touched. FALSE when anything stays.
BOOL DeleteFolderTree(const CString& folder);

// Copies the files (not the folders) matching the pattern (such as folder +
// "\*.*") into the destination, which is created when missing; existing files
// are overwritten, read-only ones too. TRUE also when nothing matched.
BOOL CopyFolderFiles(const CString& pattern, const CString& destination);

// Copies the source folder with all its files and folders into the
// destination folder; a destination that exists already is copied into.
// Symbolic links to folders are not followed (the copy then reports FALSE).
BOOL CopyFolderTree(const CString& source, const CString& destination);
